#pragma once
#include "core/filters/AdjustDispatcher.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QSlider;

namespace quiltara::gui {

class CCurveDisplay;

/// What the adjustment dialogs share: they work on the command's target itself. A
/// finished move of a track bar renders the target from its backup with the current
/// settings and repaints the view; dragging only updates the boxes and the curve.
/// OK keeps the result; the command restores the backup on Cancel.
class CAdjustDlg : public QDialog {
    Q_OBJECT
public:
    /// repaint: how the view shows the target after a render (may be empty).
    CAdjustDlg(int operation, AdjustTarget& target, std::function<void()> repaint,
               QWidget* parent = nullptr);

    int Operation() const { return m_operation; }
    const AdjustSettings& Settings() const { return m_settings; }
    /// How often the target was rendered.
    int Renders() const { return m_renders; }

protected:
    /// Renders the target from its backup and repaints the view.
    void Render();
    /// The curve display follows the settings.
    virtual void UpdateCurve() {}
    /// A track bar of min..max starting at start with tick marks every tick; valueSet
    /// takes each new position (also during a drag), after which the curve follows;
    /// a finished move renders.
    QSlider* MakeTrackBar(const QString& name, int min, int max, int start, int tick,
                          std::function<void(int)> valueSet);
    static QLineEdit* MakeValueBox(const QString& name);
    /// OK and Cancel in a row.
    QWidget* MakeButtons();

    AdjustSettings m_settings;
    CCurveDisplay* m_curve = nullptr;

private:
    int m_operation;
    AdjustTarget& m_target;
    std::function<void()> m_repaint;
    int m_renders = 0;
};

} // namespace quiltara::gui
