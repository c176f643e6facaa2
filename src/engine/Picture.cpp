#include "engine/Picture.h"

#include "engine/EngineError.h"

#include <QSaveFile>

namespace quillet {

void SavePicture(const Picture& picture, const QString& fileName)
{
    const QByteArray bytes = picture.contents();
    QSaveFile file(fileName);
    // commit() alone would rename a file whose buffered tail never reached the disk (a full disk).
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.flush() || !file.commit()) {
        throw EngineError(ErrorNumber::PathAccess,
                          QStringLiteral("无法写入图片文件“%1”：%2").arg(fileName, file.errorString()));
    }
}

} // namespace quillet
