#include "dialogs/UiFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace quillet {

QFont chooseUiFont()
{
    QFont font;
    font.setPointSize(9);
    const QStringList preferred = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                                   QStringLiteral("WenQuanYi Micro Hei"),
                                   QStringLiteral("Droid Sans Fallback")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : preferred) {
        if (installed.contains(family)) {
            font.setFamily(family);
            return font;
        }
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty())
        font.setFamily(chinese.first());
    return font;
}

void useUiFontEverywhere()
{
    QApplication::setFont(chooseUiFont());
}

} // namespace quillet
