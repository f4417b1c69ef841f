#pragma once

namespace pagelet {

// What the processor offers, as the C library found it at start. Asking the processor again
// (as the compiler's own dispatch does, before main) costs every start a round of questions
// that each leave a virtual machine.
bool processorHasAvx2();
bool processorHasSsse3();

} // namespace pagelet
