#pragma once
#include <QWidget>

class QCheckBox;

namespace quiltara::gui {

/// The Rubber Stamp's options: "Aligned" (the offset between source and target is
/// kept from stroke to stroke), "Feedback" (a stroke picks up what it has just laid
/// down) and "Wrap Source" (a source in another picture repeats beyond its edges).
/// They edit the application's clone state directly.
class CStampPanel : public QWidget {
    Q_OBJECT
public:
    explicit CStampPanel(QWidget* parent = nullptr);
    /// Shows the clone state's options.
    void Refresh();

private:
    QCheckBox* m_aligned;
    QCheckBox* m_feedback;
    QCheckBox* m_wrap;
};

} // namespace quiltara::gui
