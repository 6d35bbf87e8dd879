// Sets a flag for the life of a scope and clears it however the scope ends.
// Everything runs on the user-interface thread, so a plain bool is enough.
#pragma once

namespace plm::config {

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace plm::config
