// The pen's rules from one tick to the next (training, warming, growth, feeding).
#include "core/Form.h"

namespace pk {
void Form1::TrainingPass(int) {}
void Form1::WarmingPass(int) {}
void Form1::GrowthPass() {}
void Form1::FeedingPass() {}
}  // namespace pk
