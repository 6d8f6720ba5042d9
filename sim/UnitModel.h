#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <functional>
#include <optional>

// What the unit does with one request body: the reply body it sends back,
// or nothing. Bodies start with two letters, the message kind and the
// operation; each pair has its handler, and a pair without one is
// acknowledged with its two letters alone.
class UnitModel {
public:
    using Handler = std::function<std::optional<QByteArray>(const QByteArray& body)>;

    UnitModel();

    // Logs the request; returns the reply body when the unit answers.
    std::optional<QByteArray> Handle(const QByteArray& body);

    // Installs (or with an empty handler removes) the handler for kind+op.
    void setHandler(char kind, char op, Handler handler);

    // Every request body the unit took in, oldest first.
    QList<QByteArray> requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

private:
    static quint16 Key(char kind, char op) { return quint16(uint8_t(kind) << 8 | uint8_t(op)); }

    QHash<quint16, Handler> handlers_;
    QList<QByteArray> requests_;
};
