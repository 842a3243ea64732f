#pragma once
#include <QWidget>
#include <span>

class QListWidget;

namespace quiltara {
class CToolSet;
}

namespace quiltara::gui {

/// The "Photo Retouch" or "Special Effects" picker: the tools of one list with their
/// icons and names; the list's remembered tool is selected. Clicking an entry asks for
/// it (entryChosen with its list position).
class CToolListPicker : public QWidget {
    Q_OBJECT
public:
    /// tools: the list, position -> tool id; position: the tool-bar position it feeds.
    CToolListPicker(std::span<const int> tools, int position, QWidget* parent = nullptr);

    void Refresh(const CToolSet& tools);
    QListWidget* List() const { return m_list; }

signals:
    void entryChosen(int listIndex);

private:
    std::span<const int> m_tools;
    int m_position;
    QListWidget* m_list;
};

} // namespace quiltara::gui
