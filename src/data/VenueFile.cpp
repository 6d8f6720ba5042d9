#include "data/VenueFile.h"

#include "data/ParamData.h"
#include "data/RecordRanges.h"
#include "data/Utilities.h"
#include "platform/CodePage.h"
#include "platform/ReplaceFile.h"

#include <QFile>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <span>

namespace {

constexpr std::size_t NameCountBytes = 2;
// The longest file that can still be valid; anything after the level table
// is ignored, so no more than this is ever read.
constexpr qsizetype MaxVenueBytes =
    ParamData::RecordCount *
        static_cast<qsizetype>(BankFixedBytes + 24 + NameCount * (NameCountBytes + 0xFFFF)) +
    VenueLevelTableBytes;

// The longest name, in bytes of the code page, that each of the 43 fields
// takes from a file, in the filed order: what the unit's name fields hold
// (channel and external-output names 12, the memory's 20), a speaker's
// name of 20 bytes with the "*" of an edited EQ, and for the spare strings
// no more than a memory's. A name read from the unit thus comes back whole;
// anything longer comes from a damaged or foreign file and would only swell
// the records and the windows that show them.
constexpr auto NameByteLimits = [] {
    std::array<std::size_t, NameCount> limits{};
    const std::pair<int, std::size_t> fields[] = {{12, 12}, {7, 12}, {8, 20}, {8, 12}, {1, 20}, {7, 21}};
    std::size_t i = 0;
    for (const auto& [count, limit] : fields)
        for (int k = 0; k < count; ++k)
            limits[i++] = limit;
    return limits;
}();

void PutName(QByteArray& out, const CodePage& cp, const QString& name) {
    QByteArray bytes = cp.encode(name);
    if (bytes.size() > std::numeric_limits<uint16_t>::max())
        bytes.truncate(std::numeric_limits<uint16_t>::max());
    const auto n = static_cast<uint16_t>(bytes.size());
    out += static_cast<char>(n & 0xFF);
    out += static_cast<char>(n >> 8);
    out += bytes;
}

// Reads forward through a byte image; every read checks what is left.
class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : bytes_(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    bool take(void* dst, std::size_t n) {
        if (n > bytes_.size() - pos_)
            return false;
        std::memcpy(dst, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    // A name of at most limit bytes; a longer one is cut there, or before a
    // double-byte character that would be split.
    bool takeName(const CodePage& cp, std::size_t limit, QString& out) {
        uint8_t count[NameCountBytes];
        if (!take(count, NameCountBytes))
            return false;
        const std::size_t n = count[0] | (count[1] << 8);
        if (n > bytes_.size() - pos_)
            return false;
        const uint8_t* name = bytes_.data() + pos_;
        std::size_t kept = n;
        if (n > limit) {
            kept = 0;
            while (kept < limit) {
                const std::size_t step = cp.isLeadByte(name[kept]) ? 2 : 1;
                if (kept + step > limit)
                    break;
                kept += step;
            }
        }
        out = cp.decodeLossy(QByteArray(reinterpret_cast<const char*>(name), static_cast<qsizetype>(kept)));
        pos_ += n;
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace

QString WithVenueExtension(const QString& name) {
    return name.contains(QStringLiteral(".vnf"), Qt::CaseSensitive) ? name : name + QStringLiteral(".vnf");
}

QByteArray EncodeVenue(const ParamData& data, const CodePage& cp) {
    QByteArray out;
    for (const BankRec& r : data.BankData) {
        out.append(reinterpret_cast<const char*>(r.fixedBytes()), static_cast<qsizetype>(BankFixedBytes));
        for (const QString* name : r.names())
            PutName(out, cp, *name);
        out.append(reinterpret_cast<const char*>(r.Reserved.data()), static_cast<qsizetype>(r.Reserved.size()));
    }
    for (const LevelRec& l : data.MemLevel)
        out.append(reinterpret_cast<const char*>(&l), sizeof(LevelRec));
    return out;
}

bool DecodeVenue(ParamData& data, const CodePage& cp, const QByteArray& bytes, bool online) {
    // Everything is read into a scratch copy first, so that a cut file
    // leaves the records as they were.
    auto records = std::make_unique<std::array<BankRec, ParamData::RecordCount>>();
    Reader in(bytes);
    for (BankRec& r : *records) {
        if (!in.take(r.fixedBytes(), BankFixedBytes))
            return false;
        const auto names = r.names();
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!in.takeName(cp, NameByteLimits[i], *names[i]))
                return false;
        if (!in.take(r.Reserved.data(), r.Reserved.size()))
            return false;
    }

    std::array<LevelRec, ParamData::RecordCount> levels{};
    const bool hasLevelTable = !in.atEnd();
    if (hasLevelTable && !in.take(levels.data(), sizeof levels))
        return false;
    // A file may hold anything: every value with a range is brought into
    // it before a table or a record is looked up with it, or it is sent.
    for (BankRec& r : *records)
        ClampToRanges(r);
    for (LevelRec& l : levels)
        ClampToRanges(l);

    data.BankData = std::move(*records);
    if (hasLevelTable && online)
        data.MemLevel = levels;
    else
        // Without a table, or offline, the file's knob levels are not kept.
        data.SetAllLevels(125);
    data.VenueLoaded = true;
    return true;
}

bool SaveVenueFile(ParamData& data, const CodePage& cp, const QString& name) {
    data.Clear48VFlag();
    return ReplaceFile(WithVenueExtension(name), EncodeVenue(data, cp));
}

bool LoadVenueFile(ParamData& data, const CodePage& cp, const QString& name, bool online) {
    QFile file(WithVenueExtension(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(MaxVenueBytes);
    if (file.error() != QFileDevice::NoError)
        return false;
    return DecodeVenue(data, cp, bytes, online);
}

void LoadDefaultVenue(ParamData& data, const CodePage& cp, const QString& appPath, bool online) {
    const QString path = appPath + QStringLiteral("/param/default.vnf");
    if (!FileExist(path) || !LoadVenueFile(data, cp, path, online)) {
        for (int m = 0; m < ParamData::RecordCount; ++m)
            data.InitMemoryData(m);
    }
    data.BackupMemory();
}

void SetFileName(ParamData& data, const QString& path) {
    const qsizetype p = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    qsizetype q = path.indexOf(QLatin1Char('.'), p);
    if (q < 0)
        q = path.size();
    data.VenueName = path.mid(p, q - p);
    if (data.venueNameChanged)
        data.venueNameChanged();
}

bool NameCheck(const QString& name) {
    static constexpr QStringView forbidden = u"*/:<>?\\|.\"";
    for (QChar c : name)
        if (forbidden.contains(c))
            return false;
    return true;
}
