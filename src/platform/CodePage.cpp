#include "platform/CodePage.h"

#include <QLocale>
#include <iconv.h>

namespace {

std::shared_ptr<void> OpenConverter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    return std::shared_ptr<void>(cd, [](void* c) { iconv_close(static_cast<iconv_t>(c)); });
}

// One conversion of a whole buffer; false when any input cannot be
// converted (an invalid or incomplete sequence). The converter is brought
// back to its initial state first, whatever an earlier failed use left.
bool Convert(const std::shared_ptr<void>& converter, const QByteArray& in, QByteArray& out) {
    if (!converter)
        return false;
    const auto cd = static_cast<iconv_t>(converter.get());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char* dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const bool ok = r != static_cast<size_t>(-1) && srcLeft == 0 &&
                    iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    out.resize(out.size() - static_cast<qsizetype>(dstLeft));
    return ok;
}

const char* IconvName(int page) { return page == CodePage::Japanese ? "CP932" : "CP1252"; }

} // namespace

CodePage::CodePage(int page)
    : page_(page == Japanese ? Japanese : Western), toPage_(OpenConverter(IconvName(page_), "UTF-8")),
      fromPage_(OpenConverter("UTF-8", IconvName(page_))) {}

int CodePage::SystemPage() {
    return QLocale::system().language() == QLocale::Japanese ? Japanese : Western;
}

bool CodePage::isLeadByte(uint8_t b) const {
    return isDoubleByte() && ((b >= 0x80 && b <= 0x9F) || b >= 0xE0);
}

QByteArray CodePage::encode(const QString& text) const {
    QByteArray out;
    if (Convert(toPage_, text.toUtf8(), out))
        return out;
    // Some character has no place on this page: convert one character at a
    // time and put '?' in its place, as the system conversion does.
    out.clear();
    const auto codePoints = text.toUcs4();
    for (char32_t cp : codePoints) {
        QByteArray one;
        if (Convert(toPage_, QString::fromUcs4(&cp, 1).toUtf8(), one))
            out += one;
        else
            out += '?';
    }
    return out;
}

std::optional<QString> CodePage::decode(const QByteArray& bytes) const {
    QByteArray utf8;
    if (!Convert(fromPage_, bytes, utf8))
        return std::nullopt;
    return QString::fromUtf8(utf8);
}

QString CodePage::decodeLossy(const QByteArray& bytes) const {
    if (auto whole = decode(bytes))
        return *whole;
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        QByteArray ch(1, bytes[i]);
        if (isLeadByte(static_cast<uint8_t>(bytes[i])) && i + 1 < bytes.size())
            ch += bytes[++i];
        text += decode(ch).value_or(QStringLiteral("?"));
    }
    return text;
}
