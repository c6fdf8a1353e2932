#include "reminders/choice.h"

namespace tolvi {

ChoiceFont MessageFontFor(std::uint32_t choice_style) {
  return choice_style >= kChoiceSmallMessageStyle ? ChoiceFont::kSmall : ChoiceFont::kLarge;
}

ChoiceRequest ChoiceRequestFor(const Question& question, bool on_top) {
  return ChoiceRequest{.message = question.message,
                       .first_caption = question.first_button,
                       .second_caption = question.second_button,
                       .message_font = MessageFontFor(question.style),
                       .on_top = on_top};
}

}  // namespace tolvi
