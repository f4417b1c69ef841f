#pragma once
// The core's lupdate marker. lupdate reads it as QT_TRANSLATE_NOOP (tr-function-alias), so the
// core stays free of Qt; the compiler sees the context and the UTF-8 source of a catalogue entry.
#define PAGELET_TR_NOOP(context, source) context, source
