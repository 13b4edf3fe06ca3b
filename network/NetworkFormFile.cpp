// The network window's files: new, open, save, the recent files, the question about unsaved
// changes, and the exports: CSV, XLSX, PDF and print. Every file is replaced whole.
#include "network/NetworkForm.h"

#include "common/SafeFile.h"
#include "network/NetworkFile.h"
#include "network/NetworkPrint.h"
#include "network/NetworkSheetCsv.h"
#include "network/NetworkTable.h"
#include "network/NetworkXlsx.h"
#include "ui_NetworkForm.h"
#include "widgets/Messages.h"
#include "widgets/Utf8.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QUndoStack>

#include <algorithm>

namespace kalvor {

namespace {

const QString NetworkFilter = QStringLiteral("Сети Kalvor (*.kalvor.json);;Все файлы (*)");
const QString NetworkSuffix = QStringLiteral(".kalvor.json");

std::string RecentName(int number) {
    return "File" + std::string(1, static_cast<char>('0' + number));
}

// Through the user's own links, never over a device or a file the user may not write.
void Replace(const QString& path, std::string_view bytes) {
    if (const int error = ReplaceFileWith(OutputPath(Utf8(path)), bytes)) {
        throw Error("файл «" + Utf8(path) + "» не записан: " + SystemErrorText(error));
    }
}

} // namespace

bool TNetworkForm::maySpoil() {
    if (!modified()) {
        return true;
    }
    const QString name =
        m_path.isEmpty() ? QStringLiteral("Новая сеть") : QFileInfo(m_path).fileName();
    switch (AskToSave(this, QStringLiteral("Расчёт сети"),
                      QStringLiteral("Сохранить изменения в «%1»?").arg(name))) {
    case SaveAnswer::Save:
        return SaveMiClick();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void TNetworkForm::takeFile(const Network& network, const QString& path) {
    m_undo->clear();
    m_path = path;
    // Nothing of the network before: no stale figures, no offer of the calculator's air.
    m_lastNetwork.reset();
    m_lastResults.reset();
    m_offer.reset();
    m_notice.clear();
    m_stamp = path.isEmpty() ? std::nullopt : StampOf(Utf8(path));
    setNetwork(network);
    m_undo->setClean();
    showTitle();
}

void TNetworkForm::NewMiClick() {
    Guarded(this, [this] {
        if (maySpoil()) {
            takeFile(freshNetwork(), QString());
        }
    });
}

void TNetworkForm::OpenMiClick() {
    Guarded(this, [this] {
        if (!maySpoil()) {
            return;
        }
        const QString path =
            ask({QStringLiteral("Открыть сеть"), folderForDialogs(), NetworkFilter, false});
        if (!path.isEmpty()) {
            rememberFolder(path);
            openFile(path);
        }
    });
}

bool TNetworkForm::openFile(const QString& path) {
    return Guarded(this, [this, &path] {
        const QString whole = QFileInfo(path).absoluteFilePath();
        Network loaded;
        try {
            loaded = LoadNetworkFile(Utf8(whole));
        } catch (const NetworkError& error) {
            const QString message = Utf8(std::string(error.what()));
            throw Error(
                Utf8(message.contains(whole)
                         ? QStringLiteral("Сеть не открыта: ") + message
                         : QStringLiteral("Сеть не открыта: файл «%1»: %2").arg(whole, message)));
        }
        takeFile(loaded, whole);
        rememberFile(whole);
    });
}

bool TNetworkForm::SaveMiClick() {
    bool saved = false;
    Guarded(this,
            [this, &saved] { saved = m_path.isEmpty() ? SaveAsMiClick() : saveFile(m_path); });
    return saved;
}

bool TNetworkForm::SaveAsMiClick() {
    bool saved = false;
    Guarded(this, [this, &saved] {
        const QString path =
            askPath(QStringLiteral("Сохранить сеть"), NetworkFilter, NetworkSuffix);
        saved = !path.isEmpty() && saveFile(path);
    });
    return saved;
}

bool TNetworkForm::saveFile(const QString& path) {
    bool saved = false;
    Guarded(this, [this, &path, &saved] {
        const QString whole = QFileInfo(path).absoluteFilePath();
        // A file is only written as it can be opened again: a network that breaks a rule of the
        // file stays unsaved (the file on disk as it was) until the cell is put right.
        try {
            CheckNetwork(m_network);
        } catch (const NetworkError& error) {
            throw Error(Utf8(QStringLiteral("Сеть не сохранена: %1. Файл с такой ошибкой нельзя "
                                            "было бы открыть; исправьте её и сохраните снова.")
                                 .arg(WindowText(error, false))));
        }
        if (!mayOverwrite(whole)) {
            return;
        }
        SaveNetworkFile(Utf8(whole), m_network);
        m_stamp = StampOf(Utf8(whole));
        m_path = whole;
        m_undo->setClean();
        showTitle();
        rememberFile(whole);
        saved = true;
    });
    return saved;
}

bool TNetworkForm::mayOverwrite(const QString& path) {
    if (path != m_path || !m_stamp) {
        return true;
    }
    const std::optional<FileStamp> now = StampOf(Utf8(path));
    if (!now || *now == *m_stamp) {
        return true; // as read, or gone: nothing of another program's is lost
    }
    switch (AskAboutChangedFile(
        this, QStringLiteral("Расчёт сети"),
        QStringLiteral("Файл изменён другой программой после того, как он был открыт или сохранён "
                       "здесь:\n%1\n\nПерезаписать его этой сетью, открыть его заново (изменения "
                       "здесь будут потеряны) или отменить сохранение?")
            .arg(path))) {
    case ChangedFileAnswer::Overwrite:
        return true;
    case ChangedFileAnswer::Reopen:
        openFile(path);
        return false;
    case ChangedFileAnswer::Cancel:
        break;
    }
    return false;
}

namespace {

// Whether a folder lies inside a hidden one (a name beginning with "."), as the program's own
// working folder may: not where a user looks for a file.
bool Hidden(const QString& folder) {
    const QStringList names = QDir::cleanPath(folder).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::any_of(names.begin(), names.end(),
                       [](const QString& name) { return name.startsWith(QLatin1Char('.')); });
}

} // namespace

QString TNetworkForm::folderForDialogs() const {
    // The network's own folder; else the one last used; else that of the last file opened.
    QStringList candidates;
    if (!m_path.isEmpty()) {
        candidates << QFileInfo(m_path).absolutePath();
    }
    try {
        if (m_settings.KeyExists(NetworkSettingsKey)) {
            m_settings.OpenKey(NetworkSettingsKey, false);
            candidates << Utf8(m_settings.ReadString("LastFolder"));
        }
    } catch (const std::exception&) {
    }
    const QStringList recent = recentFiles();
    if (!recent.isEmpty()) {
        candidates << QFileInfo(recent.front()).absolutePath();
    }
    candidates << QDir::currentPath();
    for (const QString& folder : candidates) {
        if (!folder.isEmpty() && !Hidden(folder) && QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TNetworkForm::rememberFolder(const QString& path) {
    try {
        m_settings.OpenKey(NetworkSettingsKey, true);
        m_settings.WriteString("LastFolder", Utf8(QFileInfo(path).absolutePath()));
    } catch (const std::exception&) {
        // Only the next dialog's folder is lost.
    }
}

void TNetworkForm::setFileAsker(FileAsker asker) {
    m_askFile = std::move(asker);
}

QString TNetworkForm::ask(const FileQuestion& question) {
    if (m_askFile) {
        return m_askFile(question);
    }
    return question.save ? QFileDialog::getSaveFileName(this, question.caption, question.proposal,
                                                        question.filter)
                         : QFileDialog::getOpenFileName(this, question.caption, question.proposal,
                                                        question.filter);
}

QString TNetworkForm::askPath(const QString& caption, const QString& filter,
                              const QString& suffix) {
    QString base = m_path.isEmpty() ? Utf8(m_network.name) : QFileInfo(m_path).fileName();
    if (base.endsWith(NetworkSuffix)) {
        base.chop(NetworkSuffix.size());
    }
    if (base.isEmpty()) {
        base = QStringLiteral("сеть");
    }
    QString path = ask({caption, QDir(folderForDialogs()).filePath(base + suffix), filter, true});
    if (!path.isEmpty()) {
        rememberFolder(path);
    }
    // A name typed without any extension takes the file's own.
    if (!path.isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
        path += suffix;
    }
    return path;
}

// ---- Recent files ------------------------------------------------------------------------------

QStringList TNetworkForm::recentFiles() const {
    QStringList files;
    try {
        if (!m_settings.KeyExists(NetworkSettingsKey)) {
            return files;
        }
        m_settings.OpenKey(NetworkSettingsKey, false);
        for (int number = 1; number <= RecentFileCount; ++number) {
            const QString file = Utf8(m_settings.ReadString(RecentName(number)));
            if (!file.isEmpty() && !files.contains(file)) {
                files << file;
            }
        }
    } catch (const std::exception&) {
        files.clear(); // settings that cannot be read offer no recent files
    }
    return files;
}

void TNetworkForm::writeRecentFiles(const QStringList& files) {
    try {
        // The names that change, in one write of the settings file.
        const QStringList old = recentFiles();
        std::vector<std::pair<std::string, std::string>> changed;
        for (int number = 1; number <= RecentFileCount; ++number) {
            const qsizetype at = number - 1;
            const QString file = at < files.size() ? files[at] : QString();
            if (file != (at < old.size() ? old[at] : QString())) {
                changed.emplace_back(RecentName(number), Utf8(file));
            }
        }
        if (!changed.empty()) {
            m_settings.OpenKey(NetworkSettingsKey, true);
            m_settings.WriteStrings(changed);
        }
    } catch (const std::exception& error) {
        // The file itself is saved or open; only the list is not kept.
        m_status->setText(QStringLiteral("Список последних файлов не сохранён: ") +
                          Utf8(std::string(error.what())));
    }
    showRecentFiles();
}

void TNetworkForm::rememberFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > RecentFileCount) {
        files.removeLast();
    }
    writeRecentFiles(files);
}

void TNetworkForm::forgetFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    writeRecentFiles(files);
}

void TNetworkForm::showRecentFiles() {
    QMenu* menu = m_ui->RecentMenu;
    menu->clear();
    const QStringList files = recentFiles();
    int number = 0;
    for (const QString& file : files) {
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(file));
        connect(action, &QAction::triggered, this, [this, file] {
            Guarded(this, [this, &file] {
                if (!maySpoil()) {
                    return;
                }
                if (!QFileInfo::exists(file)) {
                    forgetFile(file);
                    throw Error("файла «" + Utf8(file) + "» больше нет; он убран из списка");
                }
                openFile(file);
            });
        });
    }
    menu->setEnabled(!files.isEmpty());
}

// ---- Exports -----------------------------------------------------------------------------------

const NetworkResults& TNetworkForm::computedResults() {
    refresh(); // with the catalogues as they are now
    if (!m_results) {
        QString problem = m_problem;
        if (!problem.isEmpty()) {
            problem[0] = problem[0].toLower(); // within the sentence
        }
        throw Error("Сеть не рассчитана: " + Utf8(problem));
    }
    return *m_results;
}

bool TNetworkForm::exportCsv(const QString& path) {
    return Guarded(this, [this, &path] {
        OutputPath(Utf8(path), Utf8(m_path)); // never over the network's own file
        Replace(path, NetworkSheetCsv(m_network, computedResults(), SystemDecimalSeparator()));
        m_status->setText(QStringLiteral("Таблица записана в «%1»").arg(path));
    });
}

bool TNetworkForm::exportXlsx(const QString& path) {
    return Guarded(this, [this, &path] {
        OutputPath(Utf8(path), Utf8(m_path)); // never over the network's own file
        WriteNetworkXlsx(Utf8(path), m_network, computedResults());
        m_status->setText(QStringLiteral("Таблица записана в «%1»").arg(path));
    });
}

bool TNetworkForm::exportPdf(const QString& path) {
    return Guarded(this, [this, &path] {
        OutputPath(Utf8(path), Utf8(m_path)); // never over the network's own file
        const NetworkResults& results = computedResults();
        // The document is made whole in memory, then replaces the file in one step.
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageLayout(NetworkPageLayout());
            writer.setTitle(Utf8(NetworkTitleLines(m_network, results).front()));
            writer.setCreator(QStringLiteral("Kalvor"));
            PaintNetworkPages(writer, m_network, results, QDate::currentDate(),
                              SystemDecimalSeparator());
        }
        Replace(path, std::string_view(buffer.data().constData(),
                                       static_cast<std::size_t>(buffer.data().size())));
        m_status->setText(QStringLiteral("Таблица записана в «%1»").arg(path));
    });
}

void TNetworkForm::exportAsked(const QString& kind, const QString& filter, const QString& suffix,
                               bool (TNetworkForm::*write)(const QString&)) {
    Guarded(this, [&] {
        computedResults(); // nothing to ask for while there is nothing to write
        const QString path = askPath(QStringLiteral("Экспорт в ") + kind, filter, suffix);
        if (!path.isEmpty()) {
            (this->*write)(path);
        }
    });
}

void TNetworkForm::ExportCsvMiClick() {
    exportAsked(QStringLiteral("CSV"), QStringLiteral("CSV (*.csv)"), QStringLiteral(".csv"),
                &TNetworkForm::exportCsv);
}

void TNetworkForm::ExportXlsxMiClick() {
    exportAsked(QStringLiteral("XLSX"), QStringLiteral("Книга Excel (*.xlsx)"),
                QStringLiteral(".xlsx"), &TNetworkForm::exportXlsx);
}

void TNetworkForm::ExportPdfMiClick() {
    exportAsked(QStringLiteral("PDF"), QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf"),
                &TNetworkForm::exportPdf);
}

void TNetworkForm::PrintMiClick() {
    Guarded(this, [this] {
        // The pages as they are now: a catalogue changed while the preview is open changes the
        // window, not the pages shown for printing.
        const Network network = m_network;
        const NetworkResults results = computedResults();
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(NetworkPageLayout());
        printer.setDocName(Utf8(NetworkTitleLines(network, results).front()));
        QPrintPreviewDialog preview(&printer, this);
        preview.setObjectName(QStringLiteral("PrintPreview"));
        preview.setWindowTitle(QStringLiteral("Предварительный просмотр — Расчёт сети"));
        const char separator = SystemDecimalSeparator();
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [&network, &results, separator](QPrinter* target) {
                    PaintNetworkPages(*target, network, results, QDate::currentDate(), separator);
                });
        preview.exec();
    });
}

} // namespace kalvor
