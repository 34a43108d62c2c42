// The text import wizard's source page: the memo with typed or pasted text or the list of files,
// the separator that pasted text suggests, and the reading of the source into the table.
#include "platform/gui/clipboard.h"
#include "platform/gui/qt_text.h"
#include "text/source_text.h"
#include "text/string_file.h"
#include "textimport/gui/text_import_form.h"
#include "textimport/separator_detection.h"
#include "ui/user_interaction.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include <filesystem>

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The lines of a text with CR LF, LF or CR line ends; a line end at the very end starts no
// further line.
std::vector<QString> SplitLines(const QString& text) {
    std::vector<QString> lines;
    if (text.isEmpty())
        return lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.push_back(line);
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines.push_back(line);
    return lines;
}

bool IsBlank(const QString& line) {
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

} // namespace

std::vector<QString> TTextImportForm::MemoLines() const {
    // The editor keeps its lines apart by LF; a last empty line is where the caret stands after
    // the last line end, no line of the data.
    return SplitLines(m_source->toPlainText());
}

void TTextImportForm::SetMemoLines(const std::vector<QString>& lines) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n');
        text += lines[i];
    }
    m_source->setPlainText(text);
}

void TTextImportForm::DropLeadingBlankLines() {
    const std::vector<QString> lines = MemoLines();
    std::size_t first = 0;
    while (first < lines.size() && IsBlank(lines[first]))
        ++first;
    if (first > 0)
        SetMemoLines(
            std::vector<QString>(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end()));
}

AnsiString TTextImportForm::MemoText() const {
    AnsiString text;
    for (const QString& line : MemoLines()) {
        text += FromQString(line);
        text += "\r\n";
    }
    return text;
}

void TTextImportForm::SetImportMode(TImportMode mode) {
    m_importMode = mode;
    m_importModeLabel->setText(mode == TImportMode::Text ? QtText("Режим: импорт текста")
                                                         : QtText("Режим: импорт файлов"));
}

void TTextImportForm::Paste() {
    SetImportMode(TImportMode::Text);
    m_detectedSeparator.reset();
    // The clipboard's text replaces the memo's in one change.
    SetMemoLines(SplitLines(QString::fromStdU16String(TClipboard::GetText())));
    DropLeadingBlankLines();
    std::vector<AnsiString> lines;
    for (const QString& line : MemoLines())
        lines.push_back(FromQString(line));
    if (const std::optional<char> separator =
            DetectSeparator(std::vector<std::string_view>(lines.begin(), lines.end()))) {
        ApplySeparator(*separator);
        m_detectedSeparator = separator;
    }
    m_table->Parse(MemoText());
}

void TTextImportForm::ApplySeparator(char separator) {
    {
        const QSignalBlocker tabBlocker(m_tabDivided);
        const QSignalBlocker symbolBlocker(m_symbolDivided);
        const QSignalBlocker symbolTextBlocker(m_divSymbol);
        if (separator == '\t') {
            m_tabDivided->setChecked(true);
        } else {
            m_symbolDivided->setChecked(true);
            m_divSymbol->setText(ToQString(std::string_view(&separator, 1)));
        }
    }
    SeparatorChanged();
}

void TTextImportForm::ChooseFiles() {
    TOpenFileOptions options;
    options.title = Ansi("Считать исходные данные");
    options.filter = Ansi("Текстовые файлы (*.txt, *.csv)|*.txt;*.csv|Все файлы (*.*)|*.*");
    options.defaultExtension = "txt";
    options.multiSelect = true;
    const std::vector<std::filesystem::path> files = UserInteraction().OpenFiles(options);
    if (files.empty())
        return;
    SetImportMode(TImportMode::Files);
    m_detectedSeparator.reset();
    std::vector<QString> lines;
    lines.reserve(files.size());
    for (const std::filesystem::path& file : files)
        lines.push_back(QString::fromStdU16String(file.u16string()));
    SetMemoLines(lines);
}

void TTextImportForm::ClearSource() {
    SetImportMode(TImportMode::Text);
    m_detectedSeparator.reset();
    m_source->clear();
}

AnsiString TTextImportForm::ReadListedFiles() {
    const int codePage = m_codePage->currentIndex();
    std::vector<std::filesystem::path> paths;
    std::uintmax_t bytes = 0;
    m_replacedCharacters = 0;
    for (const QString& line : MemoLines()) {
        if (IsBlank(line))
            continue;
        const std::filesystem::path path(line.toStdU16String());
        // A folder, a pipe or a device is no file to read (a pipe would keep the wizard waiting).
        if (!IsRegularFile(path))
            throw EUserError(Ansi("Ошибка. Не найден файл \"") + FromQString(line) + "\"");
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        bytes += error ? 0 : size;
        paths.push_back(path);
    }
    // The table keeps this text as its source: room for all of it at once (and for line ends
    // that become CR LF), so that it is never copied while it grows. Each line is converted
    // from its code page as it is read, so no second copy of the text is made either.
    AnsiString buffer;
    buffer.reserve(bytes + bytes / 16 + 2 * paths.size() + 64);
    AnsiString line;
    AnsiString converted;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // One empty row between the rows of two files.
        if (i == 1)
            m_firstFileLength = buffer.size();
        if (i > 0)
            buffer += "\r\n";
        TStringFile file(paths[i], codepage::kAnsi);
        std::int64_t lineNumber = 0;
        bool firstLine = true;
        while (!file.End()) {
            file.ReadLine(line);
            // A UTF-8 file may begin with a byte-order mark, which is no text of its first cell.
            if (firstLine && codePage == kSourceUtf8 && line.starts_with(kUtf8ByteOrderMark))
                line.erase(0, kUtf8ByteOrderMark.size());
            firstLine = false;
            ++lineNumber;
            if (codePage == kSourceWindows1251) {
                buffer += line;
            } else {
                // A line break never falls inside a character, so each line decodes on its own;
                // a line that does not decode is named with its file, and the wizard stays on
                // its page for another code page rather than losing the text.
                try {
                    converted = ConvertSourceText(line, codePage, &m_replacedCharacters);
                } catch (const ESourceDecodeError&) {
                    throw EUserError(Ansi("Файл \"") + WideToAnsi(paths[i].u16string()) +
                                     Ansi("\": строка ") + std::to_string(lineNumber) +
                                     Ansi(" не читается в кодировке UTF-8. Выберите другую "
                                          "кодировку."));
                }
                buffer += converted;
            }
            buffer += "\r\n";
        }
    }
    if (paths.size() == 1)
        m_firstFileLength = buffer.size();
    return buffer;
}

void TTextImportForm::ReadSourceIntoTable() {
    m_table->Clear();
    m_firstFileLength.reset();
    if (m_importMode == TImportMode::Text) {
        DropLeadingBlankLines();
        m_table->Parse(MemoText());
    } else {
        m_table->Parse(ReadListedFiles());
    }
}
