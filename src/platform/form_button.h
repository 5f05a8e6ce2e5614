// How a back-office form was closed.
#pragma once

namespace kassio {

// kOk and kCancel everywhere; kNext ("&Next") and kCopy ("&Copy") on the
// forms that add records one after another.
enum class FormButton { kOk, kNext, kCopy, kCancel };

}  // namespace kassio
