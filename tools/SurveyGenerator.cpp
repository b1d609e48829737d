// Placeholder until the generator is written.
#include "SurveyGenerator.h"
std::string GenerateSurvey(const TGeneratorOptions&) { return {}; }
