#include "text/CommaList.h"

#include <string>

#include "text/Text.h"

namespace pelko {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';

bool IsBlank(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return b >= 0x01 && b <= 0x20;
}

// Walks one comma-list text; the text already ends at its first NUL.
class CommaReader {
public:
    explicit CommaReader(std::string_view text) : text_(text) {}

    bool Ended() const { return pos_ >= text_.size(); }
    char Byte() const { return text_[pos_]; }

    void SkipBlanks() {
        while (!Ended() && IsBlank(Byte())) {
            ++pos_;
        }
    }

    // True when the byte is a comma with no byte after it.
    bool IsLastByte() const { return pos_ + 1 == text_.size(); }
    void Step() { ++pos_; }

    // From just after an opening quote to just after the closing one, or to
    // the end when none comes.
    std::string QuotedItem() {
        std::string item;
        ++pos_;
        while (!Ended()) {
            if (Byte() == kQuote) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == kQuote) {
                    item += kQuote;
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return item;
            }
            TakeCharacter(item);
        }
        return item;
    }

    // Up to the first blank or comma, or to the end.
    std::string PlainItem() {
        std::string item;
        while (!Ended() && !IsBlank(Byte()) && Byte() != kComma) {
            TakeCharacter(item);
        }
        return item;
    }

private:
    // A lead byte and its second byte go together, so the second byte is
    // never taken for a quote, blank or comma; a lead byte at the very end
    // stands alone.
    void TakeCharacter(std::string& item) {
        const std::size_t width =
            IsLeadByte(static_cast<unsigned char>(Byte())) && pos_ + 1 < text_.size() ? 2 : 1;
        item.append(text_.substr(pos_, width));
        pos_ += width;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string_view UpToNul(std::string_view text) {
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

void SplitCommaList(StringList& list, std::string_view text) {
    list.Clear();
    CommaReader reader(UpToNul(text));
    reader.SkipBlanks();
    while (!reader.Ended()) {
        list.Add(reader.Byte() == kQuote ? reader.QuotedItem() : reader.PlainItem());
        reader.SkipBlanks();
        if (!reader.Ended() && reader.Byte() == kComma) {
            // "a," ends with an empty item, "a, " does not.
            if (reader.IsLastByte()) {
                list.Add(std::string());
            }
            reader.Step();
            reader.SkipBlanks();
        }
    }
}

}  // namespace pelko
