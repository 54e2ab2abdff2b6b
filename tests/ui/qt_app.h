#pragma once

namespace zarvex::test {

// The one QApplication of a widget test program, made on first use (offscreen platform).
void EnsureQtApplication();

}  // namespace zarvex::test
