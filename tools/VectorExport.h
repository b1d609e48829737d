// The batch program's SVG and PDF drawings of a processed cave, with the view options of PNG.
#pragma once

#include "PngExport.h"

bool ExportSvg(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason);
bool ExportPdf(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason);
