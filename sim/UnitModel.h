#pragma once

#include "sim/UnitState.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <functional>
#include <optional>

// What the unit does with one request body: the reply body it sends back,
// or nothing. Bodies start with two letters, the message kind and the
// operation. The unit answers every kind it knows from its state (see
// UnitAnswer); a handler installed for a kind+op takes its place, for
// tests that need the unit to misbehave.
class UnitModel {
public:
    using Handler = std::function<std::optional<QByteArray>(const QByteArray& body)>;

    // Logs the request; returns the reply body when the unit answers.
    std::optional<QByteArray> Handle(const QByteArray& body);

    // Installs (or with an empty handler removes) the handler for kind+op.
    void setHandler(char kind, char op, Handler handler);

    // Every request body the unit took in, oldest first.
    QList<QByteArray> requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

    UnitState& state() { return state_; }
    const UnitState& state() const { return state_; }

private:
    static quint16 Key(char kind, char op) { return quint16(uint8_t(kind) << 8 | uint8_t(op)); }

    QHash<quint16, Handler> handlers_;
    QList<QByteArray> requests_;
    UnitState state_;
};
