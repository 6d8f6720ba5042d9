#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to path so that a crash at any moment leaves either the old
// file or the new one whole: a temporary file beside the target (hidden: a
// ".", the target's name, ".qdr-" and six letters or digits) is written and
// synced, renamed over the target, and the folder synced. A save killed
// before its rename leaves its temporary file behind; the next successful
// save of the same target removes every such leftover of its own, and
// nothing else.
// False, with the target untouched, when anything fails.
bool ReplaceFile(const QString& path, const QByteArray& bytes);
