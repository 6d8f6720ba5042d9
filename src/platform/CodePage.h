#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

// The ANSI code page that names travel in: 932 (Shift-JIS) on a Japanese
// system, 1252 (Western) otherwise. Conversions go through iconv, with one
// converter per direction opened with the page and reused (a venue file
// alone converts hundreds of names); copies share them.
class CodePage {
public:
    static constexpr int Japanese = 932;
    static constexpr int Western = 1252;

    explicit CodePage(int page);
    // The page for the user's locale.
    static int SystemPage();

    int page() const { return page_; }
    bool isDoubleByte() const { return page_ == Japanese; }
    // True for a byte that starts a two-byte character on this page.
    bool isLeadByte(uint8_t b) const;

    // Text to bytes; a character the page cannot hold becomes '?'.
    QByteArray encode(const QString& text) const;
    // Bytes to text; nothing when some byte sequence has no character.
    std::optional<QString> decode(const QByteArray& bytes) const;
    // Bytes to text, a character that cannot be read becoming '?'.
    QString decodeLossy(const QByteArray& bytes) const;

private:
    int page_;
    // iconv descriptors; empty when the system lacks the page.
    std::shared_ptr<void> toPage_;
    std::shared_ptr<void> fromPage_;
};
