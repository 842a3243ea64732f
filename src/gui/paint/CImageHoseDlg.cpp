#include "gui/paint/CImageHoseDlg.h"

#include "core/base/SettingsStore.h"
#include "core/devices/PspFile.h"
#include "core/devices/TubeFrames.h"
#include "core/image/ImageFileRoutines.h"
#include "core/paint/ImageHose.h"
#include "gui/image/PictureDrawing.h"
#include "gui/ui/FileDialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quiltara::gui {

std::function<QString(const QString& title, const QStringList& filters, bool save)>
    askImageHosePath;

namespace {

constexpr int kPreviewSide = 128;
const char* const kTubeFilter =
    "PSP Tubes (*.tub)|*.tub|PSP Files (*.psp)|*.psp|PSP Frames (*.pfr)|*.pfr||";
const char* const kFramePngFilter = "PNG File (*.png)|*.png||";

// The picture scaled to fit a side x side square over a checkerboard, so that its
// coverage shows.
QPixmap PreviewPixmap(const QImage& image, int side) {
    QPixmap pixmap(side, side);
    QPainter p(&pixmap);
    for (int y = 0; y < side; y += 8)
        for (int x = 0; x < side; x += 8)
            p.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 ? QColor(192, 192, 192) : Qt::white);
    if (!image.isNull()) {
        const QImage fitted = image.width() > side || image.height() > side
                                  ? image.scaled(side, side, Qt::KeepAspectRatio)
                                  : image;
        p.drawImage((side - fitted.width()) / 2, (side - fitted.height()) / 2, fitted);
    }
    return pixmap;
}

} // namespace

CTubeCellsDlg::CTubeCellsDlg(const CPspFile& psp, QWidget* parent)
    : QDialog(parent), m_across(new QSpinBox(this)), m_down(new QSpinBox(this)) {
    setWindowTitle("Tube Cells");
    setObjectName("tubeCellsDlg");
    // A cell is at least one pixel.
    m_across->setRange(1, std::max(1, psp.Width()));
    m_down->setRange(1, std::max(1, psp.Height()));
    m_across->setObjectName("across");
    m_down->setObjectName("down");
    auto* picture = new QLabel(this);
    if (psp.HasCanvas()) {
        // The canvas is red, green, blue, alpha, rows top-down.
        const QImage image(psp.Canvas().data(), psp.Width(), psp.Height(), psp.Width() * 4,
                           QImage::Format_RGBA8888);
        picture->setPixmap(PreviewPixmap(image, 256));
    }
    auto* form = new QFormLayout;
    form->addRow("Cells across", m_across);
    form->addRow("Cells down", m_down);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("The file holds no tube data. How is the picture divided?"));
    layout->addWidget(picture, 0, Qt::AlignCenter);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int CTubeCellsDlg::Across() const {
    return m_across->value();
}
int CTubeCellsDlg::Down() const {
    return m_down->value();
}

CImageHoseDlg::CImageHoseDlg(const CBrush& brush, ISettingsStore* store, QWidget* parent)
    : QDialog(parent), m_brush(brush), m_store(store) {
    setWindowTitle("Image Hose");
    setObjectName("imageHoseDlg");
    m_list = new QListWidget;
    m_list->setObjectName("frames");
    m_preview = new QLabel;
    m_preview->setObjectName("preview");
    m_preview->setFixedSize(kPreviewSide, kPreviewSide);
    m_preview->setFrameShape(QFrame::Panel);

    auto* add = new QPushButton("Add Image");
    auto* remove = new QPushButton("Remove");
    auto* alphaMask = new QPushButton("Load Alpha Mask");
    m_negative = new QCheckBox("Load Negative");
    auto* filmStrip = new QPushButton("&Film Strip");
    auto* save = new QPushButton("Save Image...");
    for (QPushButton* b : {add, remove, alphaMask, filmStrip, save})
        b->setObjectName(b->text().remove('&').remove("...").replace(' ', ""));

    auto* distributionBox = new QGroupBox("Distribution");
    auto* distributionLayout = new QVBoxLayout(distributionBox);
    m_distribution = new QButtonGroup(this);
    for (int mode = kHoseSequential; mode <= kHoseDirectional; ++mode) {
        auto* radio = new QRadioButton(HoseModeLabel(mode));
        m_distribution->addButton(radio, mode);
        distributionLayout->addWidget(radio);
    }
    const int mode = m_brush.hoseMode >= kHoseSequential && m_brush.hoseMode <= kHoseDirectional
                         ? m_brush.hoseMode
                         : kHoseSequential;
    m_distribution->button(mode)->setChecked(true);

    auto* tubeBox = new QGroupBox("PSP Picture Tube");
    auto* tubeLayout = new QVBoxLayout(tubeBox);
    auto* import = new QPushButton("Import");
    import->setObjectName("Import");
    m_showInfo = new QCheckBox("Show PSP Info");
    m_showInfo->setChecked(m_store &&
                           m_store->GetInt(kHoseSettingsSection, kHoseShowInfoValue, 0) != 0);
    tubeLayout->addWidget(import);
    tubeLayout->addWidget(m_showInfo);

    auto* commands = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(add), static_cast<QWidget*>(remove),
                       static_cast<QWidget*>(alphaMask), static_cast<QWidget*>(m_negative),
                       static_cast<QWidget*>(filmStrip), static_cast<QWidget*>(save)})
        commands->addWidget(w);
    commands->addStretch(1);

    auto* side = new QVBoxLayout;
    side->addWidget(m_preview, 0, Qt::AlignHCenter);
    side->addWidget(distributionBox);
    side->addWidget(tubeBox);

    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(commands);
    top->addLayout(side);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_selected = row;
        ShowSelected();
    });
    connect(add, &QPushButton::clicked, this, &CImageHoseDlg::AddImage);
    connect(remove, &QPushButton::clicked, this, &CImageHoseDlg::RemoveFrame);
    connect(alphaMask, &QPushButton::clicked, this, &CImageHoseDlg::LoadAlphaMask);
    connect(filmStrip, &QPushButton::clicked, this, &CImageHoseDlg::AddFilmStrip);
    connect(import, &QPushButton::clicked, this, &CImageHoseDlg::ImportTube);
    connect(save, &QPushButton::clicked, this, &CImageHoseDlg::SaveFrame);
    connect(buttons, &QDialogButtonBox::accepted, this, &CImageHoseDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    RebuildList(m_brush.hoseFrames.empty() ? -1 : 0);
}

void CImageHoseDlg::RebuildList(int select) {
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (std::size_t i = 0; i < m_brush.hoseFrames.size(); ++i)
        m_list->addItem(QString::fromStdString(HoseFrameLabel(int(i))));
    m_selected = select >= 0 && select < m_list->count() ? select : -1;
    m_list->setCurrentRow(m_selected);
    ShowSelected();
}

void CImageHoseDlg::ShowSelected() {
    const bool any = m_selected >= 0 && std::size_t(m_selected) < m_brush.hoseFrames.size();
    m_preview->setPixmap(
        PreviewPixmap(any ? PictureToImage(m_brush.hoseFrames[std::size_t(m_selected)]) : QImage(),
                      kPreviewSide));
}

QString CImageHoseDlg::AskPath(const QString& title, const QStringList& filters, bool save,
                               const QString& suffix) {
    QString path;
    if (askImageHosePath) {
        path = askImageHosePath(title, filters, save);
    } else {
        QFileDialog dialog(this, title, QString());
        dialog.setNameFilters(filters);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().front();
    }
    if (!path.isEmpty() && !suffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += "." + suffix;
    return path;
}

bool CImageHoseDlg::LoadPicture(const QString& title, CDIBSection2& picture, bool& hasAlpha) {
    const QString path = AskPath(title, QtNameFilters(kOpenDialogFilter), false);
    if (path.isEmpty()) return false;
    std::string message;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const unsigned code = LoadHosePicture(path.toStdString(), picture, hasAlpha, message);
    QApplication::restoreOverrideCursor();
    if (code != 0) {
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(message));
        return false;
    }
    return true;
}

void CImageHoseDlg::AddImage() {
    CDIBSection2 picture;
    bool alpha = false;
    if (!LoadPicture("Open", picture, alpha)) return;
    const int added = AddHoseFrame(m_brush, picture, alpha);
    if (added >= 0) RebuildList(added);
}

void CImageHoseDlg::RemoveFrame() {
    // The list entry must still name a frame of the hose.
    const int row = m_list->currentRow();
    if (!RemoveHoseFrame(m_brush, row)) return;
    RebuildList(int(m_brush.hoseFrames.size()) - 1);
}

void CImageHoseDlg::LoadAlphaMask() {
    const int row = m_list->currentRow();
    if (row < 0 || std::size_t(row) >= m_brush.hoseFrames.size()) return;
    CDIBSection2 picture;
    bool alpha = false;
    if (!LoadPicture("Open", picture, alpha)) return;
    LoadHoseFrameAlpha(m_brush, row, picture, m_negative->isChecked());
    ShowSelected();
}

void CImageHoseDlg::AddFilmStrip() {
    CDIBSection2 picture;
    bool alpha = false;
    if (!LoadPicture("Open", picture, alpha)) return;
    const bool fits = picture.GetWidth() <= HoseRoom(m_brush);
    RebuildList(AppendHoseFrames(m_brush, FilmStripFrames(picture, alpha, HoseRoom(m_brush))));
    if (!fits) TellHoseFull();
}

void CImageHoseDlg::ImportTube() {
    const QString path = AskPath("Load tube", QtNameFilters(kTubeFilter), false, "tub");
    if (path.isEmpty()) return;
    CPspFile psp;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result = psp.Load(path.toStdString());
    QApplication::restoreOverrideCursor();
    // The reader's texts are shown in turn; the last one of a failure says why.
    for (const std::string& text : psp.Messages())
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(text));
    if (result != CPspFile::kLoaded || !psp.HasCanvas()) return;
    TubeCells cells = TubeCellsOf(psp);
    if (cells.Empty()) {
        CTubeCellsDlg ask(psp, this);
        if (ask.exec() != QDialog::Accepted) return;
        cells = TubeCellsAnswered(ask.Across(), ask.Down());
    }
    std::vector<CDIBSection2> frames;
    try {
        frames = CutTube(psp, cells, HoseRoom(m_brush));
    } catch (const std::bad_alloc&) {
        QMessageBox::warning(this, "Quiltara", "Not enough memory for the tube's frames.");
        return;
    }
    const bool fits = cells.count <= HoseRoom(m_brush);
    const int last = AppendHoseFrames(m_brush, std::move(frames));
    if (!fits) TellHoseFull();
    if (m_showInfo->isChecked())
        QMessageBox::information(this, "Tube Info", QString::fromStdString(TubeInfoText(psp)));
    RebuildList(last);
}

void CImageHoseDlg::TellHoseFull() {
    QMessageBox::warning(this, "Quiltara",
                         QString("An image hose holds at most %1 frames; the rest were left out.")
                             .arg(kMaxHoseFrames));
}

void CImageHoseDlg::SaveFrame() {
    const int row = m_list->currentRow();
    if (row < 0 || std::size_t(row) >= m_brush.hoseFrames.size()) return;
    const QString path = AskPath("Save image", QtNameFilters(kFramePngFilter), true, "png");
    if (path.isEmpty()) return;
    std::string message;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const unsigned code =
        SaveHoseFrame(m_brush.hoseFrames[std::size_t(row)], path.toStdString(), message);
    QApplication::restoreOverrideCursor();
    if (code != 0) QMessageBox::warning(this, "Quiltara", QString::fromStdString(message));
}

void CImageHoseDlg::accept() {
    m_brush.hoseMode = std::max(0, m_distribution->checkedId());
    if (m_store) m_store->SetInt(kHoseSettingsSection, kHoseShowInfoValue, m_showInfo->isChecked());
    QDialog::accept();
}

} // namespace quiltara::gui
