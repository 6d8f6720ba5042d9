#include "sim/UnitModel.h"

#include "sim/UnitMessages.h"

void UnitModel::setHandler(char kind, char op, Handler handler) {
    if (handler)
        handlers_.insert(Key(kind, op), std::move(handler));
    else
        handlers_.remove(Key(kind, op));
}

std::optional<QByteArray> UnitModel::Handle(const QByteArray& body) {
    requests_.append(body);
    if (body.size() >= 2) {
        const auto it = handlers_.constFind(Key(body[0], body[1]));
        if (it != handlers_.constEnd())
            return (*it)(body);
    }
    return UnitAnswer(state_, body);
}
