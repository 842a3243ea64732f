#pragma once
#include <QWidget>
#include <array>

class QToolButton;

namespace quiltara {
class CToolSet;
}

namespace quiltara::gui {

/// The "Tools" panel: the eleven tool-bar buttons, the one of the current tool checked.
/// "Photo Retouch" and "Special Effects" show the tool last chosen from their list.
class CToolsPanel : public QWidget {
    Q_OBJECT
public:
    explicit CToolsPanel(QWidget* parent = nullptr);

    /// Shows the state of tools: icons of the two list positions, the checked button.
    void Refresh(const CToolSet& tools);
    QToolButton* Button(int position) const { return m_buttons[std::size_t(position)]; }

signals:
    void positionChosen(int position);

private:
    std::array<QToolButton*, 11> m_buttons{};
};

} // namespace quiltara::gui
