#pragma once

#include "platform/MsgBox.h"

#include <QString>
#include <QList>

class CodePage;

class ParamData;

// A speaker file (spkr/NAME.spp) is the six output-EQ bands of one kind of
// loudspeaker: 24 whole numbers, separated by commas or line ends, band by
// band as type, frequency index, Q index, gain index.

QString SpeakerFilePath(const QString& appPath, const QString& name);

// A speaker file as the lists offer it: its name as the speaker-name field
// holds it (the file's name before its first ".", cut to 20 bytes of the
// code page), and the file's name without ".spp", which loads it.
struct SpeakerEntry {
    QString name;
    QString stem;
};

// The speaker files in spkr/, in the order the file system lists them.
QList<SpeakerEntry> SpeakerFiles(const CodePage& cp, const QString& appPath);

// Puts the six bands of the file at path into output block ch of record
// CurBank. The
// whole file is read and checked first: when it is missing, short or holds
// a number outside the bands' ranges, nothing changes and the result is
// false.
bool LoadSpeakerFile(ParamData& data, const QString& path, int ch);

// The message that reports a speaker file that could not be read.
MsgBox SpeakerFileError(const QString& path);
