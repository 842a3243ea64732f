#include "gui/filters/CFilterDlg.h"

#include "core/base/RuntimeRandom.h"
#include "gui/app/CTessaryApp.h"
#include "gui/filters/CFilterPreviewWnd.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/ui/CValueSlider.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>
#include <new>

namespace quiltara::gui {

namespace {
const QSize kPreviewSize(400, 300);
constexpr double kZoomMax = 3.0;
constexpr double kZoomMin = 0.02;

ISettingsStore* ApplicationStore() {
    CTessaryApp* app = CTessaryApp::Instance();
    return app ? &app->Store() : nullptr;
}

// The wait cursor for the length of a scope.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

CFilterDlg::CFilterDlg(int slot, CDIBSection2& target, QWidget* parent, ISettingsStore* store)
    : QDialog(parent), m_target(target), m_factory(store ? store : ApplicationStore()) {
    setObjectName("FilterDlg");
    setWindowTitle("FIlter");
    // "Random" draws from the program's generator, seeded afresh for every dialog.
    CRuntimeRandom& random = ProgramRandom();
    random.Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    for (int i = 0; i < 3; ++i) random.Next();

    m_preview = new CFilterPreviewWnd(&m_target, kPreviewSize, this);
    connect(m_preview, &CFilterPreviewWnd::panFinished, this, [this] { FilterPreview(); });

    auto* zoomIn = new QPushButton("+");
    auto* zoomOut = new QPushButton("-");
    auto* oneToOne = new QPushButton("1:1");
    for (QPushButton* b : {zoomIn, zoomOut, oneToOne}) {
        b->setAutoDefault(false);
        b->setFixedWidth(40);
    }
    zoomIn->setObjectName("zoomIn");
    zoomOut->setObjectName("zoomOut");
    oneToOne->setObjectName("oneToOne");
    connect(zoomIn, &QPushButton::clicked, this,
            [this] { ChangeZoom(std::min(m_preview->Zoom() * 1.4, kZoomMax)); });
    connect(zoomOut, &QPushButton::clicked, this,
            [this] { ChangeZoom(std::max(m_preview->Zoom() * 0.7142857142857143, kZoomMin)); });
    connect(oneToOne, &QPushButton::clicked, this, [this] { ChangeZoom(1.0); });
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addStretch(1);
    zoomRow->addWidget(zoomIn);
    zoomRow->addWidget(zoomOut);
    zoomRow->addWidget(oneToOne);
    zoomRow->addStretch(1);

    auto* rows = new QVBoxLayout;
    rows->setSpacing(2);
    for (int i = 0; i < kFilterMaxParams; ++i) {
        const std::size_t k = std::size_t(i);
        auto* row = new QWidget;
        row->setObjectName(QString("row%1").arg(i));
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        m_labels[k] = new QLabel;
        m_labels[k]->setFixedWidth(110);
        m_sliders[k] = new CValueSlider;
        m_sliders[k]->setObjectName(QString("slider%1").arg(i));
        m_sliders[k]->SetRange(0, kFilterValueMax);
        m_sliders[k]->SetPageSize(16);
        m_sliders[k]->SetThumbStyle(1);
        // A pixel for every value 0..255 and the margins.
        m_sliders[k]->setMinimumWidth(268);
        m_values[k] = new QLineEdit;
        m_values[k]->setObjectName(QString("value%1").arg(i));
        m_values[k]->setFixedWidth(56);
        m_values[k]->setAlignment(Qt::AlignRight);
        m_values[k]->setToolTip("Type a value and press Return");
        // Return in a value box sets the value; it must not reach "Apply".
        m_values[k]->installEventFilter(this);
        connect(m_values[k], &QLineEdit::editingFinished, this, [this, i] { TakeTypedValue(i); });
        layout->addWidget(m_labels[k]);
        layout->addWidget(m_sliders[k], 1);
        layout->addWidget(m_values[k]);
        m_rows[k] = row;
        rows->addWidget(row);
        // Only a finished move counts: dragging alone leaves the preview as it is.
        connect(m_sliders[k], &CValueSlider::scrolled, this, [this](int code, int) {
            if (code == CValueSlider::kEndScroll) SlidersChanged();
        });
    }

    m_random = new QPushButton("Random");
    m_random->setObjectName("random");
    auto* defaults = new QPushButton("Default");
    defaults->setObjectName("default");
    auto* apply = new QPushButton("Apply");
    apply->setObjectName("apply");
    apply->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancel");
    for (QPushButton* b : {m_random, defaults, cancel}) b->setAutoDefault(false);
    connect(m_random, &QPushButton::clicked, this, [this] {
        m_factory.Randomize(ProgramRandom());
        SetSlidersFromValues();
        SlidersChanged();
    });
    connect(defaults, &QPushButton::clicked, this, [this] {
        m_factory.ResetToDefaults();
        SetSlidersFromValues();
        SlidersChanged();
    });
    connect(apply, &QPushButton::clicked, this, &CFilterDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_random);
    buttons->addWidget(defaults);
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    // The names of the slots up to the first empty one; nothing reads the list.
    m_names = new QComboBox(this);
    m_names->setObjectName("filterNames");
    m_names->hide();
    for (int s = 0; s < kFilterSlotCount && IsFilterSlotUsed(s); ++s)
        m_names->addItem(QString::fromStdString(CFilterFactory::GetSlotName(s)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addLayout(zoomRow);
    layout->addSpacing(4);
    layout->addLayout(rows);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The first zoom shows the whole picture in the preview.
    const double w = m_target.GetWidth(), h = m_target.GetHeight();
    double zoom = 1.0;
    if (w > 0 && h > 0 && (w >= kPreviewSize.width() || h >= kPreviewSize.height()))
        zoom = 1.0 / std::max(w / kPreviewSize.width(), h / kPreviewSize.height());
    m_preview->SetZoom(zoom);
    SelectSlot(slot);
    RenderPreview();
}

CFilterDlg::~CFilterDlg() = default;

bool CFilterDlg::Run(CDIBSection2& picture, int slot, QWidget* parent) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) return false;
    CFilterDlg dialog(slot, picture, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString CFilterDlg::ValueText(int i) const {
    return i >= 0 && i < kFilterMaxParams ? m_values[std::size_t(i)]->text() : QString();
}

void CFilterDlg::SelectSlot(int slot) {
    const std::string name = m_factory.SelectFilter(slot);
    setWindowTitle(QString::fromStdString(name));
    const int count = m_factory.GetParamCount();
    for (int i = 0; i < kFilterMaxParams; ++i) {
        const std::size_t k = std::size_t(i);
        m_sliders[k]->SetValue(m_factory.GetValue(i));
        m_sliders[k]->SetBaseColour(m_factory.GetParamColour(i));
        m_labels[k]->setText(QString::fromStdString(m_factory.GetParamName(i)));
        m_rows[k]->setVisible(i < count);
    }
    m_random->setVisible(count > 1);
    RefreshValueTexts();
    if (m_factory.PreviewOneToOne()) m_preview->SetZoom(1.0);
    adjustSize();
}

void CFilterDlg::RenderPreview() {
    if (!m_preview->Rebuild()) return;
    FilterPreview();
}

void CFilterDlg::FilterPreview() {
    CDIBSection2& picture = m_preview->Working();
    if (picture.IsEmpty()) return;
    m_preview->RestorePristine();
    try {
        m_factory.SetImage(picture.GetBits(), picture.GetWidth(), picture.GetHeight());
        m_factory.Apply();
    } catch (const std::bad_alloc&) {
        QMessageBox::critical(this, "Quiltara", "Not enough memory for this operation.");
    }
    ++m_previewRenders;
    m_preview->update();
}

void CFilterDlg::SlidersChanged() {
    for (int i = 0; i < kFilterMaxParams; ++i)
        m_factory.SetValue(i, m_sliders[std::size_t(i)]->Value());
    RefreshValueTexts();
    FilterPreview();
}

void CFilterDlg::SetSlidersFromValues() {
    for (int i = 0; i < kFilterMaxParams; ++i)
        m_sliders[std::size_t(i)]->SetValue(m_factory.GetValue(i));
}

void CFilterDlg::RefreshValueTexts() {
    for (int i = 0; i < kFilterMaxParams; ++i)
        m_values[std::size_t(i)]->setText(QString::fromStdString(m_factory.FormatParam(i)));
}

void CFilterDlg::TakeTypedValue(int i) {
    QLineEdit* box = m_values[std::size_t(i)];
    if (!box->isModified()) return;
    box->setModified(false);
    const std::optional<int> value = m_factory.ParamFromText(i, box->text().toStdString());
    if (!value) {
        RefreshValueTexts(); // no number: the value shown again
        return;
    }
    m_sliders[std::size_t(i)]->SetValue(*value);
    SlidersChanged();
}

bool CFilterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (int i = 0; i < kFilterMaxParams; ++i) {
            if (watched != m_values[std::size_t(i)]) continue;
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_values[std::size_t(i)]->setModified(true);
                TakeTypedValue(i);
                m_values[std::size_t(i)]->selectAll();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CFilterDlg::ChangeZoom(double zoom) {
    m_preview->SetZoom(zoom);
    RenderPreview();
}

void CFilterDlg::OnApply() {
    if (m_target.IsEmpty() || m_target.GetBitsPerPixel() != 32) return reject();
    {
        WaitCursor wait;
        try {
            // The engine copies the picture first; only then may the caller take its
            // undo step, and a picture too big to copy is left untouched.
            m_factory.SetImage(m_target.GetBits(), m_target.GetWidth(), m_target.GetHeight());
        } catch (const std::bad_alloc&) {
            QApplication::restoreOverrideCursor();
            QMessageBox::critical(this, "Quiltara", "Not enough memory for this operation.");
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return;
        }
        if (m_beforeApply && !m_beforeApply()) return;
        CStatusProgressReporter progress;
        m_factory.Apply(&progress);
        m_factory.SaveParams();
    }
    accept();
}

} // namespace quiltara::gui
