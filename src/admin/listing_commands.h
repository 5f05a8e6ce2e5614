// kassio-admin's lists and printed listings.
//
//   kassio-admin list items|customers|suppliers [--alpha A-Z] [--category C]
//                [--from N] [--sku TEXT] [--top] [--credit] [--not-group1]
//                [--active] [--overdue] [--takings] [--name TEXT] [--address TEXT]
//   kassio-admin print listing KIND ... --pdf FILE   (from account_commands.cpp)
#pragma once

#include "admin/admin_program.h"
#include "base/status.h"
#include "listings/printed_listing.h"

namespace kassio {

void addListingCommands(CLI::App& app, AdminCommands& commands);

// The options of "print listing", filled by the print command's parser.
struct ListingPrintOptions {
    std::string kind = "items";
    int64_t from = 1;
    std::string alpha;  // "A-Z"
    int category = 0;
    std::string location;
};
Status listingRequestFrom(const ListingPrintOptions& options, ListingRequest* request);

}  // namespace kassio
