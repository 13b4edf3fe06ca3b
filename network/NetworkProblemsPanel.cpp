// The network window's panel of problems.
#include "network/NetworkProblemsPanel.h"

#include "widgets/Utf8.h"

#include <QDockWidget>
#include <QListView>
#include <QMainWindow>

namespace kalvor {

void NetworkProblemsModel::show(const Network* network, const NetworkResults* results,
                                char separator) {
    beginResetModel();
    m_network = network;
    m_results = results;
    m_separator = separator;
    m_problems = network != nullptr && results != nullptr ? NetworkProblems(*results)
                                                          : std::vector<NetworkProblem>();
    endResetModel();
}

std::string NetworkProblemsModel::sectionId(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_problems.size()) {
        return {};
    }
    return m_network->sections.at(m_problems[static_cast<std::size_t>(row)].section).id;
}

int NetworkProblemsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_problems.size());
}

QVariant NetworkProblemsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    return Utf8(NetworkProblemText(*m_network, *m_results,
                                   m_problems[static_cast<std::size_t>(index.row())], m_separator));
}

QListView* AddProblemsPanel(QMainWindow* window, NetworkProblemsModel* model) {
    auto* dock = new QDockWidget(QStringLiteral("Проблемы"), window);
    dock->setObjectName(QStringLiteral("ProblemsDock"));
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* list = new QListView(dock);
    list->setObjectName(QStringLiteral("ProblemsLv"));
    list->setModel(model);
    list->setUniformItemSizes(true); // a long list is laid out without measuring each row
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dock->setWidget(list);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock);
    return list;
}

} // namespace kalvor
