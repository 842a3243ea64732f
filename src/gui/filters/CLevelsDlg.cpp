#include "gui/filters/CLevelsDlg.h"

#include "gui/filters/CCurveDisplay.h"
#include "gui/filters/CHistogramDisplay.h"
#include "gui/filters/CLevelSlider.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace quiltara::gui {

namespace {
enum Box { kInBlack, kGamma, kInWhite, kOutBlack, kOutWhite };
constexpr int kSettleMs = 400;

QString GammaText(double gamma) {
    return QString::asprintf("%.2G", gamma);
}
} // namespace

int CLevelsDlg::MidtoneFor(int black, int white, double gamma) {
    // The midtone is the input that the curve takes to half way: f^(1/gamma) = 0.5.
    if (gamma <= 0) gamma = 0.1;
    return black + int(std::lround((white - black) * std::pow(0.5, gamma)));
}

double CLevelsDlg::GammaFor(int black, int white, int midtone) {
    if (white - black < 2) return 1.0;
    const double f = std::clamp(double(midtone - black) / (white - black), 0.001, 0.999);
    return std::clamp(std::log(f) / std::log(0.5), 0.1, 9.99);
}

CLevelsDlg::CLevelsDlg(AdjustTarget& target, std::function<void()> repaint, QWidget* parent)
    : CAdjustDlg(kAdjLevels, target, std::move(repaint), parent),
      m_model(target.backup.size() == target.Bytes() ? target.backup.data() : target.pixels,
              target.width, target.height) {
    setObjectName("LevelsDlg");
    setWindowTitle("Levels");
    m_channel = new QComboBox;
    m_channel->setObjectName("channel");
    for (int i = CLevelsModel::kRGB; i <= CLevelsModel::kIntensity; ++i)
        m_channel->addItem(CLevelsModel::SelectionName(i));
    connect(m_channel, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.Select(index);
        ShowValues();
    });
    m_histogram = new CHistogramDisplay;
    m_input = new CLevelSlider(3);
    m_input->setObjectName("inputLevels");
    m_output = new CLevelSlider(2);
    m_output->setObjectName("outputLevels");
    m_curve = new CCurveDisplay;

    const char* names[5] = {"inBlack", "gamma", "inWhite", "outBlack", "outWhite"};
    for (int b = 0; b < 5; ++b) {
        m_boxes[b] = new QLineEdit;
        m_boxes[b]->setObjectName(names[b]);
        m_boxes[b]->setFixedWidth(52);
        m_boxes[b]->setAlignment(Qt::AlignRight);
        connect(m_boxes[b], &QLineEdit::textEdited, this, [this, b] { Typed(b); });
    }

    connect(m_input, &CLevelSlider::handleMoved, this, [this](int handle, int value) {
        const LevelsChannel& c = m_model.Shown();
        if (handle == 0) {
            m_model.SetInputBlack(value);
        } else if (handle == 2) {
            m_model.SetInputWhite(value);
        } else {
            m_model.SetGamma(GammaFor(c.inBlack, c.inWhite, value));
        }
        // Black and white carry the midtone with them at the same gamma.
        if (handle != 1) {
            const LevelsChannel& now = m_model.Shown();
            m_input->SetValue(1, MidtoneFor(now.inBlack, now.inWhite, now.gamma));
        }
        TakeModel();
        const LevelsChannel& shown = m_model.Shown();
        m_boxes[kInBlack]->setText(QString::number(shown.inBlack));
        m_boxes[kInWhite]->setText(QString::number(shown.inWhite));
        m_boxes[kGamma]->setText(GammaText(shown.gamma));
        UpdateCurve();
    });
    connect(m_output, &CLevelSlider::handleMoved, this, [this](int handle, int value) {
        if (handle == 0)
            m_model.SetOutputBlack(value);
        else
            m_model.SetOutputWhite(value);
        TakeModel();
        m_boxes[kOutBlack]->setText(QString::number(m_model.Shown().outBlack));
        m_boxes[kOutWhite]->setText(QString::number(m_model.Shown().outWhite));
        UpdateCurve();
    });
    connect(m_input, &CLevelSlider::released, this, [this] { Render(); });
    connect(m_output, &CLevelSlider::released, this, [this] { Render(); });

    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] { Render(); });

    auto* pickShadow = new QPushButton("Pick Shadow");
    pickShadow->setObjectName("pickShadow");
    auto* pickHighlights = new QPushButton("Pick Highlights");
    pickHighlights->setObjectName("pickHighlights");
    for (QPushButton* b : {pickShadow, pickHighlights}) b->setAutoDefault(false);
    connect(pickShadow, &QPushButton::clicked, this, [this] { StartPicking(true); });
    connect(pickHighlights, &QPushButton::clicked, this, [this] { StartPicking(false); });

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(new QLabel("Channel:"));
    channelRow->addWidget(m_channel);
    channelRow->addStretch(1);
    auto* inputBoxes = new QHBoxLayout;
    inputBoxes->addWidget(new QLabel("Input Levels:"));
    inputBoxes->addWidget(m_boxes[kInBlack]);
    inputBoxes->addWidget(m_boxes[kGamma]);
    inputBoxes->addWidget(m_boxes[kInWhite]);
    inputBoxes->addStretch(1);
    auto* outputBoxes = new QHBoxLayout;
    outputBoxes->addWidget(new QLabel("Output Levels:"));
    outputBoxes->addWidget(m_boxes[kOutBlack]);
    outputBoxes->addWidget(m_boxes[kOutWhite]);
    outputBoxes->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(channelRow);
    left->addLayout(inputBoxes);
    left->addWidget(m_histogram);
    left->addWidget(m_input);
    left->addSpacing(6);
    left->addLayout(outputBoxes);
    left->addWidget(m_output);
    auto* right = new QVBoxLayout;
    right->addWidget(MakeButtons());
    right->addWidget(pickShadow);
    right->addWidget(pickHighlights);
    right->addSpacing(8);
    right->addWidget(m_curve);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
    TakeModel();
    ShowValues();
}

void CLevelsDlg::TakeModel() {
    for (int c = 0; c < 3; ++c) m_settings.levels[c] = m_model.Channel(c);
}

void CLevelsDlg::UpdateCurve() {
    m_curve->SetLut(m_model.Lut());
}

void CLevelsDlg::ShowValues() {
    const LevelsChannel& c = m_model.Shown();
    m_boxes[kInBlack]->setText(QString::number(c.inBlack));
    m_boxes[kGamma]->setText(GammaText(c.gamma));
    m_boxes[kInWhite]->setText(QString::number(c.inWhite));
    m_boxes[kOutBlack]->setText(QString::number(c.outBlack));
    m_boxes[kOutWhite]->setText(QString::number(c.outWhite));
    m_input->SetValue(0, c.inBlack);
    m_input->SetValue(2, c.inWhite);
    m_input->SetValue(1, MidtoneFor(c.inBlack, c.inWhite, c.gamma));
    m_output->SetValue(0, c.outBlack);
    m_output->SetValue(1, c.outWhite);
    const QColor colours[5] = {Qt::black, QColor(200, 0, 0), QColor(0, 150, 0), QColor(0, 0, 200),
                               Qt::black};
    m_histogram->SetHistogram(m_model.ShownHistogram(), colours[m_model.Selected()]);
    UpdateCurve();
}

void CLevelsDlg::Typed(int box) {
    bool ok = false;
    const QString text = m_boxes[box]->text().trimmed();
    if (box == kGamma) {
        const double g = text.toDouble(&ok);
        if (!ok) return;
        m_model.SetGamma(g);
    } else {
        const int v = text.toInt(&ok);
        if (!ok) return;
        switch (box) {
        case kInBlack:
            m_model.SetInputBlack(v);
            break;
        case kInWhite:
            m_model.SetInputWhite(v);
            break;
        case kOutBlack:
            m_model.SetOutputBlack(v);
            break;
        default:
            m_model.SetOutputWhite(v);
            break;
        }
    }
    TakeModel();
    // A value the model held to its range shows as held ("300" becomes "255").
    const LevelsChannel& c = m_model.Shown();
    const double values[5] = {double(c.inBlack), c.gamma, double(c.inWhite), double(c.outBlack),
                              double(c.outWhite)};
    const QString shown =
        box == kGamma ? GammaText(values[box]) : QString::number(int(values[box]));
    if (box == kGamma ? values[box] != text.toDouble() : shown != text)
        m_boxes[box]->setText(shown);
    m_input->SetValue(0, c.inBlack);
    m_input->SetValue(2, c.inWhite);
    m_input->SetValue(1, MidtoneFor(c.inBlack, c.inWhite, c.gamma));
    m_output->SetValue(0, c.outBlack);
    m_output->SetValue(1, c.outWhite);
    UpdateCurve();
    m_settle.start();
}

void CLevelsDlg::StartPicking(bool shadow) {
    m_picking = shadow ? 1 : 2;
    grabMouse(Qt::CrossCursor);
}

void CLevelsDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_picking) return CAdjustDlg::mouseReleaseEvent(event);
    const bool shadow = m_picking == 1;
    m_picking = 0;
    releaseMouse();
    // The colour under the pointer, wherever on the screen it is.
    const QPoint at = event->globalPosition().toPoint();
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QPoint local = at - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (pixel.isNull()) return;
    Picked(shadow, pixel.pixelColor(0, 0));
}

void CLevelsDlg::Picked(bool shadow, QColor colour) {
    if (shadow)
        m_model.PickShadow(colour.red(), colour.green(), colour.blue());
    else
        m_model.PickHighlights(colour.red(), colour.green(), colour.blue());
    TakeModel();
    Render();
    ShowValues();
}

} // namespace quiltara::gui
