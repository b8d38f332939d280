#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace trovix {

class Module1;

// The one shared instance of a window, created on first use. Asking for it
// loads it (its load handler runs); unloading closes it (its unload handler
// runs and it is destroyed) and the next use loads it afresh.
// A window class W is built from (Module1&) and whatever further arguments the
// slot was given, has Form_Load(), deletes itself on close and emits unloaded()
// from its close handler.
template<typename W>
class WindowSlot
{
public:
    template<typename... Arguments>
    explicit WindowSlot(Module1& module, Arguments&&... arguments)
        : m_make([&module, arguments...] { return new W(module, arguments...); })
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
            window->Form_Load();
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
