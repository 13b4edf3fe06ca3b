// The start-up check of the settings file and its message.
#include "mainwindow/SettingsCheck.h"

#include "settings/SettingsStore.h"
#include "widgets/Messages.h"

#include <QString>

#include <cerrno>

namespace kalvor {

namespace {

QString Reason(const SetAsideHive& hive) {
    switch (hive.trouble) {
    case HiveTrouble::NotAHive:
        return QStringLiteral("в нём нет настроек в понятном программе виде");
    case HiveTrouble::TooLarge:
        return QStringLiteral("он больше 4 МиБ");
    case HiveTrouble::NotRegular:
        return QStringLiteral("это не обычный файл");
    case HiveTrouble::LinkRefused:
        return QStringLiteral("это символическая ссылка другого пользователя, на чужой файл или "
                              "в никуда");
    case HiveTrouble::ReadError:
    case HiveTrouble::None:
        break;
    }
    switch (hive.systemError) {
    case EACCES:
    case EPERM:
        return QStringLiteral("нет доступа");
    case EISDIR:
        return QStringLiteral("на его месте папка");
    default:
        return QStringLiteral("ошибка ввода-вывода %1").arg(hive.systemError);
    }
}

} // namespace

bool ReportUnusableSettings(QWidget* parent) {
    const std::optional<SetAsideHive> hive = SetAsideUnusableHive();
    if (!hive) {
        return false;
    }
    QString text = QStringLiteral("Файл настроек «%1» не удаётся прочитать: %2.")
                       .arg(QString::fromStdString(hive->hivePath), Reason(*hive));
    if (!hive->keptAs.empty()) {
        text += QStringLiteral(" Он сохранён под именем «%1», программа начинает с новыми "
                               "настройками")
                    .arg(QString::fromStdString(hive->keptAs));
        // The settings load then sees a first start, not a missing installation.
        SettingsStore store;
        store.OpenKey(SettingsKey, true);
    } else {
        text += QStringLiteral(" Убрать его в сторону не удалось: он оставлен как есть, и "
                               "настройки не будут сохранены");
    }
    ShowErrorBox(parent, text);
    return true;
}

} // namespace kalvor
