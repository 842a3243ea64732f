#pragma once
#include <QObject>

namespace quiltara::gui {

/// While a plug-in or an Extra runs: any key pressed asks it to stop, and clicks and
/// keys do not reach the windows (the picture is being worked on). Poll() lets the
/// windows repaint and says whether a key came.
class CKeyAbortWatch : public QObject {
public:
    CKeyAbortWatch();
    ~CKeyAbortWatch() override;
    CKeyAbortWatch(const CKeyAbortWatch&) = delete;
    CKeyAbortWatch& operator=(const CKeyAbortWatch&) = delete;

    /// Pumps pending events; true once a key was pressed (the key is taken).
    bool Poll();
    /// The watch of the run under way, or null.
    static CKeyAbortWatch* Current() { return s_current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_keyPressed = false;
    bool m_firstPoll = true;
    CKeyAbortWatch* m_previous;
    static inline CKeyAbortWatch* s_current = nullptr;
};

} // namespace quiltara::gui
