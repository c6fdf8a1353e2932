#include "state/write_failures.h"

#include <string>

namespace tolvi {

void ReportRecordWrite(CoreContext& context, const Status& written) {
  bool& reported = context.state.activity.record_write_failure_reported;
  const bool tell = !written.ok() && !reported;
  reported = !written.ok();
  if (tell) context.ui.Notify(std::string(kRecordWriteFailedText) + written.message());
}

}  // namespace tolvi
