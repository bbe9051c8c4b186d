#include "operations/station_blocks.h"

#include "operations/head_id.h"

namespace tarvo {

Outcome SetHeadIDOnStation(const Context& ctx, PrinterLink& link, StationData& station) {
  if (!ctx.edition.head_id_on_host_copy) {
    return SetHeadID(ctx, link, station.working_block, station.read_block);
  }
  HeadBlock write_block{};
  return SetHeadID(ctx, link, write_block, station.read_block, &station.working_block);
}

}  // namespace tarvo
