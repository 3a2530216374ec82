#include "app/qt/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTextBlock>
#include <QUrl>
#include <utility>
#include <vector>

#include "app/qt/QtControls.h"

namespace {

constexpr int kClientWidth = 290;
constexpr int kClientHeight = 200;
constexpr int kFontPixels = 12;
// Below this a caption is no easier to read than a clipped one.
constexpr int kSmallestCaptionPixels = 9;

// System menu and minimise, no maximise: the window has one fixed size.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

// The Japanese Windows fonts come first; where they are missing, the CJK
// fonts a Linux desktop has keep the Japanese texts legible.
QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(kFontPixels);
    return font;
}

QFont LogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("IPAGothic")});
    font.setPixelSize(kFontPixels);
    return font;
}

// The layout is that of the classic window; where the installed font runs
// wider than the fonts it was drawn for, a caption gives up a pixel or two of
// height rather than lose its last letters. reserved: room the control needs
// besides its text.
void FitCaption(QWidget* control, const QString& caption, int reserved) {
    QString shown = caption;
    shown.remove(QLatin1Char('&'));  // the mnemonic marker takes no room
    QFont font = control->font();
    while (font.pixelSize() > kSmallestCaptionPixels &&
           QFontMetrics(font).horizontalAdvance(shown) > control->width() - reserved) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    if (font != control->font()) control->setFont(font);
}

template <typename Widget>
Widget* MakeControl(QWidget* parent, const char* name, const QRect& geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// The dropped local files as host paths, the first one first.
std::vector<std::string> LocalFiles(const QMimeData* mime) {
    std::vector<std::string> files;
    if (!mime) return files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return files;
}

}  // namespace

struct MainWindow::Adapters {
    QtDropDown comboTemp;
    QtTextEdit editTitle;
    QtTextEdit editAuthor;
    QtCheckBox checkCopy;
    QtDropDown comboOptions;
    QtTextEdit editValue;
    QtButton buttonBrowse;
    QtLogPane log;
    QtCheckBox checkValue;
    QtDropDown comboValue;

    FormControls Controls(DropTarget& window, EditorDescriptions& descriptions) {
        FormControls controls{comboTemp,    editTitle, editAuthor, checkCopy,  comboOptions, editValue,
                              buttonBrowse, log,       checkValue, comboValue, window};
        controls.Descriptions = &descriptions;
        return controls;
    }
};

MainWindow::MainWindow(std::string programDirectory, std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QWidget(parent, kWindowFlags), dialogs_(std::move(dialogs)) {
    SetUpWindow();
    CreateControls();
    SetTabOrder();
    NameForAssistiveTechnology();
    adapters_ = std::make_unique<Adapters>(Adapters{
        QtDropDown(ComboTemp), QtTextEdit(EditTitle), QtTextEdit(EditAuthor), QtCheckBox(CheckCopy),
        QtDropDown(ComboOptions), QtTextEdit(EditValue), QtButton(ButtonBrowse), QtLogPane(Log),
        QtCheckBox(CheckValue), QtDropDown(ComboValue)});
    form_ = std::make_unique<TForm1>(std::move(programDirectory), adapters_->Controls(*this, *this), *dialogs_,
                                     systemColors_);
    ConnectHandlers();
}

MainWindow::~MainWindow() {
    // The controls are deleted after this body, by QWidget; none of their
    // signals may reach the handlers of a form that is gone.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    form_.reset();
}

void MainWindow::SetUpWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pelko"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    setAcceptDrops(false);  // switched on by the file editor only
}

QLabel* MainWindow::MakeLabel(const char* name, const QString& text, const QRect& geometry) {
    auto* label = MakeControl<QLabel>(this, name, geometry);
    label->setText(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void MainWindow::CreateControls() {
    LabelTemp = MakeLabel("LabelTemp", QStringLiteral("&Template"), {5, 15, 50, 12});
    LabelTitle = MakeLabel("LabelTitle", QStringLiteral("App&Name"), {5, 40, 50, 12});
    LabelAuthor = MakeLabel("LabelAuthor", QStringLiteral("&Author"), {155, 40, 40, 12});
    LabelOptions = MakeLabel("LabelOptions", QStringLiteral("&Options"), {5, 65, 50, 12});
    LabelValue = MakeLabel("LabelValue", QStringLiteral("Value"), {5, 90, 50, 12});

    ComboTemp = MakeControl<QComboBox>(this, "ComboTemp", {55, 10, 150, 20});
    EditTitle = MakeControl<QLineEdit>(this, "EditTitle", {55, 35, 90, 20});
    EditTitle->setText(QStringLiteral("Pelko"));
    EditAuthor = MakeControl<QLineEdit>(this, "EditAuthor", {195, 35, 90, 20});

    CheckCopy = MakeControl<QCheckBox>(this, "CheckCopy", {215, 15, 70, 12});
    CheckCopy->setText(QStringLiteral("&Copyright"));
    ButtonMake = MakeControl<QPushButton>(this, "ButtonMake", {210, 60, 75, 20});
    ButtonMake->setText(QStringLiteral("作成(&M)"));

    ComboOptions = MakeControl<QComboBox>(this, "ComboOptions", {55, 60, 150, 20});
    EditValue = MakeControl<QLineEdit>(this, "EditValue", {55, 85, 210, 20});
    EditValue->hide();
    ButtonBrowse = MakeControl<QPushButton>(this, "ButtonBrowse", {265, 85, 20, 20});
    ButtonBrowse->setText(QStringLiteral("..."));
    ButtonBrowse->setEnabled(false);
    ButtonBrowse->hide();

    Log = MakeControl<QPlainTextEdit>(this, "Log", {5, 115, 280, 75});
    Log->setReadOnly(true);
    Log->setTabChangesFocus(true);
    Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Log->setAttribute(Qt::WA_InputMethodEnabled, false);
    Log->setFont(LogFont());

    CheckValue = MakeControl<QCheckBox>(this, "CheckValue", {55, 90, 230, 12});
    CheckValue->setText(QStringLiteral("Enable"));
    CheckValue->hide();
    ComboValue = MakeControl<QComboBox>(this, "ComboValue", {55, 95, 230, 20});
    ComboValue->hide();

    // Files dropped anywhere on the window belong to the window, as with the
    // shell's drop; the edits must not take them as text.
    for (QWidget* edit : {static_cast<QWidget*>(EditTitle), static_cast<QWidget*>(EditAuthor),
                          static_cast<QWidget*>(EditValue), static_cast<QWidget*>(Log)}) {
        edit->setAcceptDrops(false);
    }

    FitCaptions();
    LabelTemp->setBuddy(ComboTemp);
    LabelTitle->setBuddy(EditTitle);
    LabelAuthor->setBuddy(EditAuthor);
    LabelOptions->setBuddy(ComboOptions);
}

void MainWindow::FitCaptions() {
    for (QLabel* label : {LabelTemp, LabelTitle, LabelAuthor, LabelOptions, LabelValue}) {
        FitCaption(label, label->text(), 0);
    }
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, CheckCopy) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, CheckCopy);
    FitCaption(CheckCopy, CheckCopy->text(), indicator);
}

void MainWindow::SetTabOrder() {
    QWidget* const order[] = {ComboTemp,  EditTitle,    EditAuthor, ComboOptions,
                              EditValue,  ButtonBrowse, ComboValue, CheckValue,
                              CheckCopy,  ButtonMake,   Log};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void MainWindow::ConnectHandlers() {
    const auto run = [this](void (TForm1::*handler)()) {
        return [this, handler] { form_->Run(handler); };
    };
    // Only the user's own actions: the form runs the handlers of the changes
    // it makes itself. activated is a choice, textEdited typing or pasting,
    // clicked a click or the space key.
    connect(ComboTemp, &QComboBox::activated, this, run(&TForm1::ComboTempChange));
    connect(ComboOptions, &QComboBox::activated, this, run(&TForm1::ComboOptionsChange));
    connect(EditValue, &QLineEdit::textEdited, this, run(&TForm1::EditValueChange));
    connect(CheckValue, &QCheckBox::clicked, this, run(&TForm1::CheckValueClick));
    connect(ButtonBrowse, &QPushButton::clicked, this, run(&TForm1::ButtonBrowseClick));
    connect(ButtonMake, &QPushButton::clicked, this, run(&TForm1::ButtonMakeClick));
}

QStringList MainWindow::LogLines() const {
    QStringList lines;
    const QTextDocument* document = Log->document();
    if (document->isEmpty()) return lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

void MainWindow::AcceptDrops(bool accept) {
    setAcceptDrops(accept);
}

// ---- assistive technology ------------------------------------------------------

// The labels with a buddy name their control; these have no such label, or
// a caption ("...") that says nothing when read out.
void MainWindow::NameForAssistiveTechnology() {
    ButtonBrowse->setAccessibleName(QStringLiteral("参照"));
    Log->setAccessibleName(QStringLiteral("ログ"));
    DescribeEditors({});
}

void MainWindow::DescribeEditors(const std::string& label) {
    const QString option = QString::fromStdString(label);
    EditValue->setAccessibleName(option.isEmpty() ? LabelValue->text() : option);
    ComboValue->setAccessibleName(option.isEmpty() ? LabelValue->text() : option);
    CheckValue->setAccessibleDescription(option);
}

// ---- window events -----------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !centred_) {
        centred_ = true;
        CentreOnScreen();
    }
    QWidget::showEvent(event);
}

void MainWindow::CentreOnScreen() {
    const QScreen* target = screen();
    if (!target) return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = LocalFiles(event->mimeData());
    if (files.empty()) return;
    event->acceptProposedAction();
    form_->DropFiles(files);
}
