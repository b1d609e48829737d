// The chain run after every successful read, shared by the main window and the batch program.
#include "reduction/Processing.h"

#include "model/FileIO.h"
#include "reduction/Listings.h"

TProcessResult ProcessCave(TKviste& cave, TSummaryValues& summary, const std::string& dataFile,
                           const TextClock& clock) {
    TProcessResult result;
    ComputeLegVectors(cave);
    result.Connectivity = LinkStations(cave);
    ComputeStatistics(cave, summary);
    result.ListingErrors = WriteListings(cave, summary, dataFile, clock);
    return result;
}

std::vector<std::string> WriteListings(const TKviste& cave, const TSummaryValues& summary,
                                       const std::string& dataFile, const TextClock& clock) {
    std::vector<std::string> errors;
    // A listing that cannot be written does not keep the others from being tried.
    // A data file that itself ends in a listing's extension must not be overwritten by it.
    const auto run = [&](const char* ext, const auto& write) {
        const std::string file = ChangeExtension(dataFile, ext);
        std::string reason;
        if (file == dataFile)
            reason = "is the survey data file itself";
        else if (write(file, reason))
            return;
        errors.push_back(file + ": " + reason);
    };
    run(".krt", [&](const std::string& f, std::string& r) {
        return WriteCartesianListing(f, cave, clock, r);
    });
    run(".kom", [&](const std::string& f, std::string& r) {
        return WriteCommentsListing(f, dataFile, cave, clock, r);
    });
    run(".sta", [&](const std::string& f, std::string& r) {
        return WriteStatistics(f, cave, summary, clock, r);
    });
    run(".scn",
        [&](const std::string& f, std::string& r) { return WriteScanList(f, cave, clock, r); });
    return errors;
}
