#pragma once
#include "core/paint/Brush.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace quiltara {
class CPspFile;
class ISettingsStore;
} // namespace quiltara

namespace quiltara::gui {

/// The file dialogs of the image hose's editor: given the title, the Qt name filters
/// and whether a file is saved, returns the chosen path or an empty string. Tests
/// replace it; empty, the desktop's file dialogs are shown.
extern std::function<QString(const QString& title, const QStringList& filters, bool save)>
    askImageHosePath;

/// Asks for the cells across and down of a picture tube without tube data, showing the
/// picture.
class CTubeCellsDlg : public QDialog {
    Q_OBJECT
public:
    CTubeCellsDlg(const CPspFile& psp, QWidget* parent = nullptr);
    int Across() const;
    int Down() const;
    QSpinBox* AcrossBox() const { return m_across; }
    QSpinBox* DownBox() const { return m_down; }

private:
    QSpinBox* m_across;
    QSpinBox* m_down;
};

/// "Image Hose": edits the frames and the distribution of a copy of an image hose
/// brush. Frames come from pictures ("Add Image"), film strips ("&Film Strip") and
/// picture tubes ("Import"); "Load Alpha Mask" gives the selected frame a new
/// coverage. OK stores the distribution into the brush and the "Show PSP Info" option
/// into the settings.
class CImageHoseDlg : public QDialog {
    Q_OBJECT
public:
    /// store (may be null) holds the "Show PSP Info" option.
    CImageHoseDlg(const CBrush& brush, ISettingsStore* store, QWidget* parent = nullptr);

    /// The brush as edited: its frames, and after OK its distribution.
    const CBrush& Brush() const { return m_brush; }

    QListWidget* FrameList() const { return m_list; }
    QButtonGroup* Distribution() const { return m_distribution; }
    QCheckBox* ShowInfo() const { return m_showInfo; }
    QCheckBox* LoadNegative() const { return m_negative; }
    /// The frame the preview shows, -1 when none.
    int Selected() const { return m_selected; }

    void AddImage();
    void RemoveFrame();
    void LoadAlphaMask();
    void AddFilmStrip();
    void ImportTube();
    void SaveFrame();

    void accept() override;

private:
    void RebuildList(int select);
    void ShowSelected();
    void TellHoseFull();
    QString AskPath(const QString& title, const QStringList& filters, bool save,
                    const QString& suffix = {});
    bool LoadPicture(const QString& title, CDIBSection2& picture, bool& hasAlpha);

    CBrush m_brush;
    ISettingsStore* m_store;
    int m_selected = -1;
    QListWidget* m_list;
    QLabel* m_preview;
    QButtonGroup* m_distribution;
    QCheckBox* m_negative;
    QCheckBox* m_showInfo;
};

} // namespace quiltara::gui
