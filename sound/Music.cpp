// Background music and sound effects.
#include "core/Form.h"

namespace pk {
void Form1::OpenM(int) {}
void Form1::PlayM(int) {}
void Form1::CloseM() {}
void Form1::Mjyoutai() {}
void Form1::Play(int) {}
void Form1::StopEffect() {}
}  // namespace pk
