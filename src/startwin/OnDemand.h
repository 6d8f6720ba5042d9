#pragma once

#include <functional>
#include <memory>
#include <utility>

// An object that exists for the whole run but is built the first time it
// is used, by a maker given at start-up. Start-up uses it for the editor
// window, so the start window shows without waiting for it.
template <class T> class OnDemand {
public:
    void setMaker(std::function<std::unique_ptr<T>()> make) { make_ = std::move(make); }
    bool made() const { return obj_ != nullptr; }
    T& get() {
        if (!obj_)
            obj_ = make_();
        return *obj_;
    }
    T* operator->() { return &get(); }
    T& operator*() { return get(); }

private:
    std::function<std::unique_ptr<T>()> make_;
    std::unique_ptr<T> obj_;
};
