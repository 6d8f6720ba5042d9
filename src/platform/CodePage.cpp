#include "platform/CodePage.h"

#include <QLocale>
#include <iconv.h>

namespace {

// One iconv conversion of a whole buffer; false when any input cannot be
// converted (an invalid or incomplete sequence).
bool Convert(const char* to, const char* from, const QByteArray& in, QByteArray& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char* dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    bool ok = r != static_cast<size_t>(-1) && srcLeft == 0 && iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - static_cast<qsizetype>(dstLeft));
    return ok;
}

} // namespace

CodePage::CodePage(int page) : page_(page == Japanese ? Japanese : Western) {}

int CodePage::SystemPage() {
    return QLocale::system().language() == QLocale::Japanese ? Japanese : Western;
}

const char* CodePage::iconvName() const { return page_ == Japanese ? "CP932" : "CP1252"; }

bool CodePage::isLeadByte(uint8_t b) const {
    return isDoubleByte() && ((b >= 0x80 && b <= 0x9F) || b >= 0xE0);
}

QByteArray CodePage::encode(const QString& text) const {
    QByteArray out;
    if (Convert(iconvName(), "UTF-8", text.toUtf8(), out))
        return out;
    // Some character has no place on this page: convert one character at a
    // time and put '?' in its place, as the system conversion does.
    out.clear();
    const auto codePoints = text.toUcs4();
    for (char32_t cp : codePoints) {
        QByteArray one;
        if (Convert(iconvName(), "UTF-8", QString::fromUcs4(&cp, 1).toUtf8(), one))
            out += one;
        else
            out += '?';
    }
    return out;
}

std::optional<QString> CodePage::decode(const QByteArray& bytes) const {
    QByteArray utf8;
    if (!Convert("UTF-8", iconvName(), bytes, utf8))
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
