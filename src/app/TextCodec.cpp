#include "TextCodec.h"

#include <QStringDecoder>

namespace tessary {

QString DecodeText(std::string_view text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError()) {
        return decoded;
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string EncodeText(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace tessary
