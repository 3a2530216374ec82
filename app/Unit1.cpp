#include "app/Unit1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QShowEvent>
#include <QTextBlock>
#include <QUrl>
#include <utility>

#include "options/OptionValues.h"
#include "package/build/Build.h"
#include "pelko/Version.h"
#include "templates/Catalogue.h"
#include "templates/Descriptor.h"
#include "text/Color.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Paths.h"

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

QFont LogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("IPAGothic")});
    font.setPixelSize(kFontPixels);
    return font;
}

template <typename Widget>
Widget* MakeControl(QWidget* parent, const char* name, const QRect& geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QStringList LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime) return files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) files << url.toLocalFile();
    }
    return files;
}

// Counts the code changes in progress for the whole of one change.
class CodeChange {
public:
    explicit CodeChange(int& depth) : depth_(depth) { ++depth_; }
    ~CodeChange() { --depth_; }
    CodeChange(const CodeChange&) = delete;
    CodeChange& operator=(const CodeChange&) = delete;

private:
    int& depth_;
};

}  // namespace

TForm1::TForm1(std::string programDirectory, std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QWidget(parent, kWindowFlags),
      programDirectory_(std::move(programDirectory)),
      dialogs_(std::move(dialogs)) {
    SetUpWindow();
    CreateControls();
    SetTabOrder();
    ConnectHandlers();
    Guard([this] { FormCreate(); });
}

TForm1::~TForm1() {
    // The controls are deleted after this body, by QWidget; none of their
    // signals may reach the handlers of a window that is half gone.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    FormDestroy();
}

void TForm1::SetUpWindow() {
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

QLabel* TForm1::MakeLabel(const char* name, const QString& text, const QRect& geometry) {
    auto* label = MakeControl<QLabel>(this, name, geometry);
    label->setText(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void TForm1::CreateControls() {
    cp932Validator_ = new Cp932Validator(this);
    singleLineValidator_ = new SingleLineValidator(this);

    LabelTemp = MakeLabel("LabelTemp", QStringLiteral("&Template"), {5, 15, 50, 12});
    LabelTitle = MakeLabel("LabelTitle", QStringLiteral("App&Name"), {5, 40, 50, 12});
    LabelAuthor = MakeLabel("LabelAuthor", QStringLiteral("&Author"), {155, 40, 40, 12});
    LabelOptions = MakeLabel("LabelOptions", QStringLiteral("&Options"), {5, 65, 50, 12});
    LabelValue = MakeLabel("LabelValue", QStringLiteral("Value"), {5, 90, 50, 12});

    ComboTemp = MakeControl<QComboBox>(this, "ComboTemp", {55, 10, 150, 20});

    EditTitle = MakeControl<QLineEdit>(this, "EditTitle", {55, 35, 90, 20});
    EditTitle->setText(QStringLiteral("Pelko"));
    EditTitle->setValidator(cp932Validator_);
    titleField_ = ByteTextField(EditTitle);

    EditAuthor = MakeControl<QLineEdit>(this, "EditAuthor", {195, 35, 90, 20});
    EditAuthor->setValidator(cp932Validator_);
    authorField_ = ByteTextField(EditAuthor);

    CheckCopy = MakeControl<QCheckBox>(this, "CheckCopy", {215, 15, 70, 12});
    CheckCopy->setText(QStringLiteral("&Copyright"));

    ButtonMake = MakeControl<QPushButton>(this, "ButtonMake", {210, 60, 75, 20});
    ButtonMake->setText(QStringLiteral("作成(&M)"));

    ComboOptions = MakeControl<QComboBox>(this, "ComboOptions", {55, 60, 150, 20});

    EditValue = MakeControl<QLineEdit>(this, "EditValue", {55, 85, 210, 20});
    EditValue->hide();
    valueField_ = ByteTextField(EditValue);

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
    AppendLog(QStringLiteral("Pelko " PELKO_VERSION));
    AppendLog(QStringLiteral("Personalised ezplus packages for Java handsets"));

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

void TForm1::FitCaptions() {
    for (QLabel* label : {LabelTemp, LabelTitle, LabelAuthor, LabelOptions, LabelValue}) {
        FitCaption(label, label->text(), 0);
    }
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, CheckCopy) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, CheckCopy);
    FitCaption(CheckCopy, CheckCopy->text(), indicator);
}

void TForm1::SetTabOrder() {
    QWidget* const order[] = {ComboTemp,  EditTitle,    EditAuthor, ComboOptions,
                              EditValue,  ButtonBrowse, ComboValue, CheckValue,
                              CheckCopy,  ButtonMake,   Log};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TForm1::ConnectHandlers() {
    // Every handler runs inside Guard, so no exception crosses the event loop.
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { Guard([this, handler] { (this->*handler)(); }); };
    };
    // activated is a user's choice only; selecting from code runs nothing.
    connect(ComboTemp, &QComboBox::activated, this, guarded(&TForm1::ComboTempChange));
    connect(ComboOptions, &QComboBox::activated, this, guarded(&TForm1::ComboOptionsChange));
    // Both report typing and changes from code, and only real changes.
    connect(EditValue, &QLineEdit::textChanged, this, guarded(&TForm1::EditValueChange));
    connect(CheckValue, &QCheckBox::toggled, this, guarded(&TForm1::CheckValueClick));
    connect(ButtonBrowse, &QPushButton::clicked, this, guarded(&TForm1::ButtonBrowseClick));
    connect(ButtonMake, &QPushButton::clicked, this, guarded(&TForm1::ButtonMakeClick));
}

// ---- errors ----------------------------------------------------------------

void TForm1::Guard(const std::function<void()>& handler) {
    std::exception_ptr error;
    try {
        handler();
    } catch (...) {
        error = std::current_exception();
    }
    if (!error) return;
    // A handler that code ran by changing a control: its error belongs to
    // the code that made the change, which rethrows it once the change is
    // done, so the calling handler ends as well.
    if (codeChangeDepth_ > 0) {
        if (!pendingError_) pendingError_ = error;
        return;
    }
    ShowError(error);
}

void TForm1::ShowError(const std::exception_ptr& error) {
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        message = caught.what();
    } catch (...) {
        // An unknown error has no text; the box still tells the user.
    }
    dialogs_->ShowError(QString::fromStdString(pelko::ErrorBoxText(message)));
}

void TForm1::RethrowPending() {
    if (pendingError_) std::rethrow_exception(std::exchange(pendingError_, nullptr));
}

void TForm1::SetEditValue(std::string bytes, TextEncoding encoding) {
    {
        CodeChange change(codeChangeDepth_);
        valueField_.SetBytes(std::move(bytes), encoding);
    }
    RethrowPending();
}

void TForm1::SetCheckValue(bool checked) {
    {
        CodeChange change(codeChangeDepth_);
        CheckValue->setChecked(checked);
    }
    RethrowPending();
}

// ---- log -------------------------------------------------------------------

QStringList TForm1::LogLines() const {
    QStringList lines;
    const QTextDocument* document = Log->document();
    if (document->isEmpty()) return lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

void TForm1::AppendLog(const QString& line) {
    Log->appendPlainText(line);
}

void TForm1::ClearLog() {
    Log->clear();
}

// ---- window events -----------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !centred_) {
        centred_ = true;
        CentreOnScreen();
    }
    QWidget::showEvent(event);
}

void TForm1::CentreOnScreen() {
    const QScreen* target = screen();
    if (!target) return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    Guard([this, &files] { OnDropFiles(files); });
}

// ---- catalogue ----------------------------------------------------------------

void TForm1::FormCreate() {
    ComboValue->move(ComboValue->x(), 85);
    templatePaths_.clear();
    const std::vector<std::string> directories = pelko::TemplateDirectories(programDirectory_);
    pelko::ScanTemplates(directories, [this](pelko::CatalogueEntry entry) {
        ComboTemp->addItem(ShownText(entry.displayName, TextEncoding::Cp932));
        templatePaths_.push_back(std::move(entry.path));
        // The combo box selects the first item it gets; the catalogue selects
        // nothing, also when a later descriptor stops the scan.
        ComboTemp->setCurrentIndex(-1);
    });
}

void TForm1::FormDestroy() {
    records_.Clear();
    templatePaths_.clear();
}

void TForm1::ComboTempChange() {
    const int index = ComboTemp->currentIndex();
    if (index < 0) return;
    LoadTemplate(templatePaths_.at(static_cast<std::size_t>(index)));
}

// ---- template loading -----------------------------------------------------------

void TForm1::LoadTemplate(const std::string& path) {
    records_.Clear();
    titleField_.SetBytes({}, TextEncoding::Cp932);
    authorField_.SetBytes({}, TextEncoding::Cp932);
    CheckCopy->setChecked(false);
    ComboOptions->clear();
    SetEditValue({}, TextEncoding::Cp932);

    pelko::LoadedTemplate loaded = pelko::LoadTemplateFile(path);
    titleField_.SetBytes(loaded.title, TextEncoding::Cp932);
    CheckCopy->setChecked(loaded.copyright);
    records_ = std::move(loaded.options);
    for (int i = 0; i < records_.Count(); ++i) {
        ComboOptions->addItem(ShownText(records_.Item(i), TextEncoding::Cp932));
    }
    ComboOptions->setCurrentIndex(-1);
    if (loaded.error) throw pelko::Error(*loaded.error);
    if (ComboOptions->count() > 0) {
        ComboOptions->setCurrentIndex(0);
        ComboOptionsChange();
    }
}

// ---- option editors ----------------------------------------------------------------

pelko::OptionRecord* TForm1::SelectedRecord() {
    const int index = ComboOptions->currentIndex();
    if (index < 0) return nullptr;
    return &pelko::RecordOf(records_, index);
}

TextEncoding TForm1::EncodingOf(const pelko::OptionRecord& record) const {
    // A file editor's value is a path the user chose from the file system.
    return pelko::HasFileEditor(record.Item(pelko::kRecordKey)) ? TextEncoding::HostPath
                                                               : TextEncoding::Cp932;
}

void TForm1::ComboOptionsChange() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    HideEditors();
    switch (pelko::EditorFor(*record)) {
        case pelko::EditorKind::File: ShowFileEditor(*record); break;
        case pelko::EditorKind::Color: ShowIntegerEditor(*record, true); break;
        case pelko::EditorKind::Integer: ShowIntegerEditor(*record, false); break;
        case pelko::EditorKind::YesNo: ShowYesNoEditor(*record); break;
        case pelko::EditorKind::Text: ShowTextEditor(*record); break;
    }
}

void TForm1::HideEditors() {
    ButtonBrowse->setEnabled(false);
    EditValue->hide();
    ButtonBrowse->hide();
    ComboValue->hide();
    CheckValue->hide();
    setAcceptDrops(false);
}

void TForm1::ShowFileEditor(const pelko::OptionRecord& record) {
    openFilter_ = pelko::FileFilterFor(record.Item(pelko::kRecordType));
    setAcceptDrops(true);
    EditValue->setValidator(singleLineValidator_);  // a host path may hold any other character
    SetEditValue(record.Item(pelko::kRecordValue), TextEncoding::HostPath);
    EditValue->show();
    ButtonBrowse->show();
    ButtonBrowse->setEnabled(true);
}

void TForm1::ShowIntegerEditor(const pelko::OptionRecord& record, bool browse) {
    std::string text;
    try {
        text = pelko::CanonicalIntegerText(record.Item(pelko::kRecordValue));
    } catch (const pelko::Error&) {
        text.clear();  // a record without a value shows an empty field
    }
    EditValue->setValidator(cp932Validator_);
    SetEditValue(std::move(text), TextEncoding::Cp932);
    EditValue->show();
    ButtonBrowse->show();
    ButtonBrowse->setEnabled(browse);
}

void TForm1::ShowYesNoEditor(const pelko::OptionRecord& record) {
    SetCheckValue(pelko::IsYesText(record.Item(pelko::kRecordValue)));
    CheckValue->show();
}

void TForm1::ShowTextEditor(const pelko::OptionRecord& record) {
    EditValue->setValidator(cp932Validator_);
    SetEditValue(record.Item(pelko::kRecordValue), TextEncoding::Cp932);
    EditValue->show();
    ButtonBrowse->show();
}

void TForm1::EditValueChange() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    const QString text = EditValue->text();
    // A lone "-" stays so that a negative number can be typed. Digits are
    // ASCII, so any other character makes the text no integer either way.
    if (pelko::IsIntegerType(record->Item(pelko::kRecordType)) && text != QLatin1String("-")) {
        SetEditValue(pelko::CanonicalIntegerText(text.toStdString()), TextEncoding::Cp932);
    }
    record->Set(pelko::kRecordValue, valueField_.Bytes(EncodingOf(*record)));
}

void TForm1::CheckValueClick() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    record->Set(pelko::kRecordValue, std::string(pelko::YesNoText(CheckValue->isChecked())));
}

void TForm1::ButtonBrowseClick() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    switch (pelko::EditorFor(*record)) {
        case pelko::EditorKind::File: BrowseFile(); break;
        case pelko::EditorKind::Color: BrowseColor(); break;
        default: break;
    }
}

void TForm1::BrowseFile() {
    QString proposed = EditValue->text();
    // A relative value is taken relative to the template's own directory by
    // the build, so the dialog starts from the same file.
    const int index = ComboTemp->currentIndex();
    if (!proposed.isEmpty() && QFileInfo(proposed).isRelative() && index >= 0) {
        proposed.prepend(ShownText(pelko::DirectoryOf(templatePaths_.at(static_cast<std::size_t>(index))),
                                   TextEncoding::HostPath));
    }
    const std::optional<QString> chosen =
        dialogs_->OpenFile(QStringLiteral("参照"), QString::fromStdString(openFilter_.description),
                           QString::fromStdString(openFilter_.pattern), proposed);
    if (!chosen) return;
    SetEditValue(QFile::encodeName(*chosen).toStdString(), TextEncoding::HostPath);
}

void TForm1::BrowseColor() {
    const std::int32_t value = pelko::ParseIntegerOr(EditValue->text().toStdString(), 0);
    const auto initial =
        static_cast<std::int32_t>(pelko::SwapColorOrder(static_cast<std::uint32_t>(value)));
    const std::optional<std::int32_t> chosen = dialogs_->PickColor(initial);
    if (!chosen) return;
    const std::int32_t resolved = pelko::ResolveColor(*chosen, systemColors_);
    const std::uint32_t rgb = pelko::SwapColorOrder(static_cast<std::uint32_t>(resolved));
    SetEditValue(pelko::FormatInteger(rgb), TextEncoding::Cp932);
}

void TForm1::OnDropFiles(const QStringList& paths) {
    if (paths.isEmpty() || EditValue->isHidden()) return;
    SetEditValue(QFile::encodeName(paths.constFirst()).toStdString(), TextEncoding::HostPath);
    // Stored even when the text was the same already.
    EditValueChange();
}

// ---- build ---------------------------------------------------------------------

void TForm1::ButtonMakeClick() {
    const int index = ComboTemp->currentIndex();
    if (index < 0) return;
    const std::optional<QString> chosen =
        dialogs_->SaveFile(QStringLiteral("作成"), QStringLiteral("ezplus(*.kjx)"),
                           QStringLiteral("*.kjx"), saveFileName_);
    if (!chosen) return;
    const std::string output = pelko::OutputPathFor(QFile::encodeName(*chosen).toStdString());
    saveFileName_ = ShownText(output, TextEncoding::HostPath);
    // The dialog asked about the name as typed; with ".kjx" added it names
    // another file, which must not be replaced unasked.
    if (saveFileName_ != *chosen && QFileInfo::exists(saveFileName_) &&
        !dialogs_->ConfirmReplace(saveFileName_)) {
        return;
    }
    ClearLog();
    pelko::AppSettings settings{titleField_.Bytes(TextEncoding::Cp932), authorField_.Bytes(TextEncoding::Cp932),
                                CheckCopy->isChecked()};
    const std::string& templatePath = templatePaths_.at(static_cast<std::size_t>(index));
    // A user's template names its files relative to its own directory, as
    // those of the program directory do.
    const pelko::BuildRequest request = pelko::RequestFor(templatePath, std::move(settings), records_, output,
                                                          pelko::DirectoryOf(templatePath));
    pelko::MakePackage(request, [this](const pelko::LogLine& line) {
        AppendLog(QString::fromStdString(pelko::Formatted(line)));
    });
}
