#include "sim/UnitModel.h"

UnitModel::UnitModel() {
    // LinkNotice: the PC never looks at the answer, but the unit echoes
    // kind, operation and the notice value.
    setHandler('N', 'O', [](const QByteArray& body) { return body.left(3); });
}

void UnitModel::setHandler(char kind, char op, Handler handler) {
    if (handler)
        handlers_.insert(Key(kind, op), std::move(handler));
    else
        handlers_.remove(Key(kind, op));
}

std::optional<QByteArray> UnitModel::Handle(const QByteArray& body) {
    requests_.append(body);
    if (body.size() < 2)
        return std::nullopt; // no message kind: the unit has nothing to say
    const auto it = handlers_.constFind(Key(body[0], body[1]));
    if (it != handlers_.constEnd())
        return (*it)(body);
    return body.left(2);
}
