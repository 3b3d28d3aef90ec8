#pragma once

#include <QLoggingCategory>
#include <string>
#include <utility>
#include <variant>

namespace avi {

// The AVI layer's log: every failure's reason, and libav's own messages. Off below
// warnings unless QT_LOGGING_RULES asks for more ("picreel.avi.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcAvi)
// Sends libav's own messages to lcAvi.
void routeLibavLog();

// What kind of failure; the AVIFile functions give each its AVIERR code.
enum class Fault {
    None,
    BadParam,     // an argument the call cannot take
    BadHandle,    // no such file or stream
    BadFormat,    // a picture format the file cannot hold
    BadSize,      // a frame of another size than its format
    Unsupported,  // a call this layer does not offer
    NoCompressor, // no such compressor on this machine
    Compressor,   // the encoder refused the picture or failed
    Memory,
    FileOpen,
    FileWrite,
};

// How a step inside the layer went: Fault::None, or the fault and why, in words a
// developer can act on ("Cinepak needs a width and height that are multiples of 4").
struct [[nodiscard]] Status {
    Fault fault = Fault::None;
    std::string what;

    bool ok() const { return fault == Fault::None; }
};

inline Status failure(Fault fault, std::string what) {
    return {fault, std::move(what)};
}

// A value, or the status that says why there is none.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Status status) : v_(std::move(status)) {}

    bool ok() const { return v_.index() == 0; }
    const T& value() const { return std::get<0>(v_); }
    T& value() { return std::get<0>(v_); }
    const Status& status() const { return std::get<1>(v_); }

private:
    std::variant<T, Status> v_;
};

} // namespace avi
