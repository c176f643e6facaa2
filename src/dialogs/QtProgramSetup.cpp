#include "dialogs/QtProgramSetup.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

namespace quillet {

namespace {

// The standard buttons of the message boxes, as the platform themes ask for them (with and
// without a mnemonic). Consulted before Qt's own translation, so that they read the same with it
// and without it.
class ButtonTexts : public QTranslator
{
public:
    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override
    {
        static const QHash<QByteArray, QString> texts = {
            {"OK", QStringLiteral("确定")},     {"&OK", QStringLiteral("确定")},
            {"Cancel", QStringLiteral("取消")}, {"&Cancel", QStringLiteral("取消")},
            {"Yes", QStringLiteral("是")},      {"&Yes", QStringLiteral("是")},
            {"No", QStringLiteral("否")},       {"&No", QStringLiteral("否")}};
        const QByteArrayView from(context);
        if (from != "QPlatformTheme" && from != "QGnomeTheme")
            return {};
        return texts.value(QByteArray(sourceText));
    }
};

void setUserSettingsPath(const QString& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

} // namespace

QtProgramSetup::QtProgramSetup(const QString& qtTranslationsFolder)
    : m_qt(std::make_unique<QTranslator>()), m_buttons(std::make_unique<ButtonTexts>())
{
    // The last one installed is asked first.
    if (m_qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                   qtTranslationsFolder))
        QCoreApplication::installTranslator(m_qt.get());
    QCoreApplication::installTranslator(m_buttons.get());

    if (m_settings.isValid())
        setUserSettingsPath(m_settings.path());
}

bool QtProgramSetup::qtTranslationLoaded() const
{
    return !m_qt->isEmpty();
}

QtProgramSetup::~QtProgramSetup()
{
    if (m_settings.isValid())
        setUserSettingsPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QCoreApplication::removeTranslator(m_buttons.get());
    QCoreApplication::removeTranslator(m_qt.get());
}

} // namespace quillet
