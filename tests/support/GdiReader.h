#pragma once

// Metafiles drawn by GDI's own player under Wine (tests/support/gdi): the reader whose rules the
// programs that EMF pictures are pasted into follow. One Wine run draws a whole batch, because
// starting Wine costs far more than a page. The Wine prefix lives in the build folder; the first
// run makes it (about 15 s), under a lock so that test programs running side by side share it.
// Known reader fault, mended by name in the player: Wine 8.0 (64-bit) misreads EMR_EXTCREATEPEN, so
// without the mend every wide or dashed stroke would be thin and black (see PlayEmf.c).

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace quillet::testing {

struct GdiPicture
{
    QString emf;  // path of the metafile
    QSize size;   // pixels to draw it into
    QImage image; // what GDI drew: white paper under the picture; null when it could not be drawn
};

#ifdef QUILLET_GDI_PLAYER
constexpr bool kGdiReaderBuilt = true;

// Draws every picture of the batch; returns an empty string or what went wrong with the run itself.
inline QString DrawWithGdi(std::vector<GdiPicture>& pictures)
{
    QTemporaryDir work;
    QFile list(work.filePath(QStringLiteral("list.txt")));
    if (!list.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the list");
    const auto windowsPath = [](const QString& path) {
        return QStringLiteral("Z:") +
               QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).replace('/', '\\');
    };
    for (size_t i = 0; i < pictures.size(); ++i) {
        list.write(QStringLiteral("%1\t%2\t%3\t%4\n")
                       .arg(windowsPath(pictures[i].emf),
                            windowsPath(work.filePath(QStringLiteral("%1.ppm").arg(i))))
                       .arg(pictures[i].size.width())
                       .arg(pictures[i].size.height())
                       .toUtf8());
    }
    list.close();
    QDir().mkpath(QStringLiteral(QUILLET_WINE_PREFIX));
    QLockFile lock(QStringLiteral(QUILLET_WINE_PREFIX) + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock())
        return QStringLiteral("cannot lock the Wine prefix");
    QProcess wine;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), QStringLiteral(QUILLET_WINE_PREFIX));
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // Wine's server leaves its socket folder in TMPDIR: keep it beside the prefix.
    const QString wineTemp = QStringLiteral(QUILLET_WINE_PREFIX "-tmp");
    QDir().mkpath(wineTemp);
    env.insert(QStringLiteral("TMPDIR"), wineTemp);
    // No runtime installers asked for, no window: GDI alone draws into memory.
    env.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree=;mshtml="));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    wine.setProcessEnvironment(env);
    wine.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    wine.start(QStringLiteral(QUILLET_WINE),
               {QStringLiteral(QUILLET_GDI_PLAYER), windowsPath(list.fileName())});
    if (!wine.waitForFinished(600000))
        return QStringLiteral("Wine did not finish: ") + wine.errorString();
    for (size_t i = 0; i < pictures.size(); ++i)
        pictures[i].image = QImage(work.filePath(QStringLiteral("%1.ppm").arg(i)));
    return wine.exitStatus() == QProcess::NormalExit ? QString() : QStringLiteral("Wine crashed");
}
#else
constexpr bool kGdiReaderBuilt = false;
inline QString DrawWithGdi(std::vector<GdiPicture>&)
{
    return QStringLiteral("the GDI reader was not built (x86_64-w64-mingw32-gcc and wine64 are needed)");
}
#endif

} // namespace quillet::testing
