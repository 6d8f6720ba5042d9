#pragma once

#include <QByteArray>
#include <QString>

class CodePage;
class ParamData;

// A venue file: the 17 records (each its 553 fixed bytes, its 43 names as a
// 16-bit byte count and the bytes in the ANSI code page, and 24 reserved
// bytes), then the 289-byte level table. No header, little-endian.

inline constexpr qsizetype VenueLevelTableBytes = 17 * 17;

QByteArray EncodeVenue(const ParamData& data, const CodePage& cp);

// Reads a whole venue image into data, every value that has a range brought
// into it and every name cut to the longest its field takes; on any fault (short data, a name running past
// the end) nothing in data changes and the result is false.
bool DecodeVenue(ParamData& data, const CodePage& cp, const QByteArray& bytes, bool online);

// Appends ".vnf" unless the name already holds it (case-sensitive).
QString WithVenueExtension(const QString& name);

// Writes beside the target and renames over it, so a failed save leaves the
// previous file as it was. False when the file could not be written.
bool SaveVenueFile(ParamData& data, const CodePage& cp, const QString& name);
// False, with nothing changed, when the file is missing, unreadable or cut.
bool LoadVenueFile(ParamData& data, const CodePage& cp, const QString& name, bool online);
// param/default.vnf under appPath, else the factory defaults; then the first
// backup.
void LoadDefaultVenue(ParamData& data, const CodePage& cp, const QString& appPath, bool online);

void SetFileName(ParamData& data, const QString& path);
bool NameCheck(const QString& name);
