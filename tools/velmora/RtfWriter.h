#pragma once
// Writes the rich text that the client's editor loads: an RTF document of paragraphs with bold
// and italic runs and bulleted items.
#include <string>
#include <string_view>

namespace velmora::demo {

class RtfWriter {
  public:
    RtfWriter& Text(std::string_view utf8);
    RtfWriter& Bold(std::string_view utf8);
    RtfWriter& Italic(std::string_view utf8);
    // Ends the paragraph begun by the runs written since the last one.
    RtfWriter& EndParagraph();
    // One bulleted paragraph.
    RtfWriter& Bullet(std::string_view utf8);
    // The whole document, starting with "{\rtf1".
    std::string Document() const;

  private:
    void StartParagraph();

    std::string body_;
    bool inParagraph_ = false;
};

// The text with RTF's special characters escaped and every character beyond ASCII written as
// a Unicode escape.
std::string RtfEscape(std::string_view utf8);

} // namespace velmora::demo
