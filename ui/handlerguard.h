#pragma once

#include <QObject>

#include <functional>
#include <type_traits>
#include <utility>

// How the window runs a handler of a user's action: the main window shows
// an exception that escapes it in the error box, and brings its record of
// the focus up to date afterwards. Each part of the window runs the
// handlers of its own controls through the guard it is given.
class HandlerGuard
{
public:
    using Runner = std::function<void(const std::function<void()> &handler)>;

    // Runs each handler as it is; for a part on its own, as in a test.
    HandlerGuard()
        : m_run([](const std::function<void()> &handler) { handler(); })
    { }
    explicit HandlerGuard(Runner run)
        : m_run(std::move(run))
    { }

    void run(const std::function<void()> &handler) const { m_run(handler); }

    // Runs `handler` through the guard whenever `sender` emits `signal`:
    // with the signal's arguments where it takes them.
    template <typename Sender, typename Signal, typename Handler>
    void connect(const Sender *sender, Signal signal, const QObject *context, Handler handler) const
    {
        if constexpr (std::is_invocable_v<const Handler &>) {
            QObject::connect(sender, signal, context, [run = m_run, handler] { run(handler); });
        } else {
            QObject::connect(sender, signal, context,
                             [run = m_run, handler](const auto &...arguments) { run([&] { handler(arguments...); }); });
        }
    }

private:
    Runner m_run;
};
