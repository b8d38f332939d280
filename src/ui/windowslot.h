#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace trovix {

class Session;

// The one instance of a window, made on first use. Asking for it makes it and loads it (its load()
// runs); closing it destroys it, and the next use makes it afresh. A window class W is built from
// (Session&) and whatever further arguments the slot was given, has load(), deletes itself on close and
// emits unloaded() from its close handler.
template<typename W>
class WindowSlot
{
public:
    template<typename... Arguments>
    explicit WindowSlot(Session& session, Arguments&&... arguments)
        : m_make([&session, arguments...] { return new W(session, arguments...); })
    {}
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;
    ~WindowSlot() { delete m_window.data(); }

    W* get()
    {
        if (!m_window) {
            W* window = m_make();
            m_window = window;
            QObject::connect(window, &W::unloaded, window, [this, window] {
                if (m_window == window)
                    m_window.clear();
            });
            window->load();
        }
        return m_window;
    }

    W* operator->() { return get(); }
    bool isLoaded() const { return !m_window.isNull(); }
    W* ifLoaded() const { return m_window; }

    void unload()
    {
        if (m_window)
            m_window->close();
    }

private:
    std::function<W*()> m_make;
    QPointer<W> m_window;
};

} // namespace trovix
