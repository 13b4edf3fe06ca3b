// The network window's panel "Проблемы": one row for each section a list of the totals names.
#pragma once

#include "network/NetworkProblems.h"

#include <QAbstractListModel>

#include <string>
#include <vector>

class QListView;
class QMainWindow;

namespace kalvor {

// The rows of the panel; a row's text is made only when the view asks for it.
class NetworkProblemsModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // The problems of these results (nullptr: none); both are kept until the next call.
    void show(const Network* network, const NetworkResults* results, char decimalSeparator);
    // The id of the section a row names.
    std::string sectionId(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const Network* m_network = nullptr;
    const NetworkResults* m_results = nullptr;
    char m_separator = '.';
    std::vector<NetworkProblem> m_problems;
};

// The panel, docked under the window's table, its list over the model; returns the list.
QListView* AddProblemsPanel(QMainWindow* window, NetworkProblemsModel* model);

} // namespace kalvor
