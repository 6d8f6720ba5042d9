#pragma once

#include "sim/UnitState.h"

#include <QByteArray>
#include <optional>

// The unit's answer to one request body, acting on its state: set, copy,
// name and memory messages change it and are acknowledged with their first
// five bytes; load and status messages are answered from it. A body too
// short for its message, or naming a channel, sub or slot that does not
// exist, changes nothing and is acknowledged; one without its two letters
// gets no reply. Kinds the unit does not know are acknowledged with their
// two letters.
std::optional<QByteArray> UnitAnswer(UnitState& state, const QByteArray& body);
