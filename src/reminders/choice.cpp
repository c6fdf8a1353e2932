#include "reminders/choice.h"

namespace tolvi {

ChoiceRequest ChoiceRequestFor(const Question& question, bool on_top) {
  return ChoiceRequest{.message = question.message,
                       .first_caption = question.first_button,
                       .second_caption = question.second_button,
                       .message_font = question.font,
                       .on_top = on_top};
}

}  // namespace tolvi
