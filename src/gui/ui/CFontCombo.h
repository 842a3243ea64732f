#pragma once
#include <QComboBox>
#include <QFont>

namespace quiltara::gui {

/// The drop-down list of installed fonts used by the text tool: 40-pixel items, each
/// showing the face name in a small blue label and "ABCDabcd" in the font itself.
/// Only scalable fonts are listed: those are the ones the text is drawn with.
class CFontCombo : public QComboBox {
    Q_OBJECT
public:
    /// Unless fillLater is false the list fills itself once the event loop runs.
    explicit CFontCombo(QWidget* parent = nullptr, bool fillLater = true);

    /// Empties the list and lists the installed scalable font families.
    void Fill();
    bool Filled() const { return m_filled; }
    /// Refilling on request: the next Fill starts from nothing.
    void Refill() {
        m_filled = false;
        Fill();
    }
    /// The selected item's font (its sample font, 15 points); -1 when nothing is
    /// selected.
    int SelectedFont(QFont& font) const;
    QString SelectedFace() const { return currentIndex() < 0 ? QString() : currentText(); }
    /// Selects the face (compared without case); false when it is not listed.
    bool SelectFace(const QString& face);

private:
    bool m_filled = false;
};

} // namespace quiltara::gui
