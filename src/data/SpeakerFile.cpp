#include "data/SpeakerFile.h"

#include "data/ParamData.h"
#include "data/Utilities.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <array>
#include <optional>

namespace {

constexpr int Numbers = 24;
// Far more than 24 numbers in any layout; the rest is never read.
constexpr qint64 MaxFileBytes = 64 * 1024;
// Largest value of type, frequency index, Q index and gain index.
constexpr int BandMax[4] = {4, 53, 23, 60};

std::optional<std::array<uint8_t, Numbers>> ReadNumbers(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QString text = QString::fromLatin1(file.read(MaxFileBytes));
    static const QRegularExpression separators(QStringLiteral("[,\\r\\n]+"));
    const QStringList fields = text.split(separators, Qt::SkipEmptyParts);
    if (fields.size() < Numbers)
        return std::nullopt;
    std::array<uint8_t, Numbers> out{};
    for (int i = 0; i < Numbers; ++i) {
        bool ok = false;
        const int v = fields[i].trimmed().toInt(&ok);
        if (!ok || v < 0 || v > BandMax[i % 4])
            return std::nullopt;
        out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v);
    }
    return out;
}

} // namespace

QString SpeakerFilePath(const QString& appPath, const QString& name) {
    return appPath + QStringLiteral("/spkr/") + name + QStringLiteral(".spp");
}

QList<SpeakerEntry> SpeakerFiles(const CodePage& cp, const QString& appPath) {
    constexpr std::size_t NameBytes = 20;
    const QString suffix = QStringLiteral(".spp");
    const QStringList files =
        QDir(appPath + QStringLiteral("/spkr")).entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Unsorted);
    QList<SpeakerEntry> entries;
    for (const QString& file : files) {
        std::array<uint8_t, NameBytes + 1> field{};
        StrToByte(cp, file.section(QLatin1Char('.'), 0, 0), std::span(field).first(NameBytes));
        entries.append({ByteToStr(cp, field), file.chopped(suffix.size())});
    }
    return entries;
}

bool LoadSpeakerFile(ParamData& data, const QString& path, int ch) {
    const auto numbers = ReadNumbers(path);
    if (!numbers)
        return false;
    OutRec& out = data.BankData[data.CurBank].Out[ch];
    for (int b = 0; b < 6; ++b) {
        out.EQType[b] = (*numbers)[4 * b];
        out.EQFreq[b] = (*numbers)[4 * b + 1];
        out.EQQ[b] = (*numbers)[4 * b + 2];
        out.EQGain[b] = (*numbers)[4 * b + 3];
    }
    return true;
}

MsgBox SpeakerFileError(const QString& path) {
    return {QStringLiteral("Error Read Speaker file\r\n(") + path + QStringLiteral(")\r\n"), QStringLiteral("File error"),
            MsgButtons::Ok, MsgIcon::Critical, MsgResult::Ok};
}
