#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace ocable {

class HostServiceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One process-wide reference to a host service. Reading an empty slot creates
// a new instance through the factory the host registered, so code that runs
// after the references were released (the main window's unload) still finds
// its services.
template <class T> class ServiceSlot {
public:
    explicit ServiceSlot(const char* name) : name_(name) {}

    T& operator*() { return *get(); }
    T* operator->() { return get().get(); }
    const std::shared_ptr<T>& get() {
        if (!object_) object_ = createNew();
        return object_;
    }
    // A fresh instance from the factory, not stored.
    std::shared_ptr<T> createNew() const {
        if (!factory_) throw HostServiceError(std::string("宿主未提供服务：") + name_);
        auto made = factory_();
        if (!made) throw HostServiceError(std::string("宿主未能创建服务：") + name_);
        return made;
    }

    void set(std::shared_ptr<T> object) { object_ = std::move(object); }
    void reset() { object_.reset(); }
    bool empty() const { return !object_; }
    const std::shared_ptr<T>& peek() const { return object_; }

    void setFactory(std::function<std::shared_ptr<T>()> factory) { factory_ = std::move(factory); }
    const char* name() const { return name_; }

private:
    const char* name_;
    std::shared_ptr<T> object_;
    std::function<std::shared_ptr<T>()> factory_;
};

} // namespace ocable
