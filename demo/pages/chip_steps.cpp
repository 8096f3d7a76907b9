#include "pages/chip_steps.h"

#include "pages/page_context.h"

namespace chipsteps {

QString formatEntry(const PageContext& ctx, int entry, int n) {
    return ctx.message(entry).replace(QStringLiteral("%d"), QString::number(n));
}

void readFailure(const PageContext& ctx, int status, int entry, int n) {
    ctx.showResult(status != 0 ? status : 1, formatEntry(ctx, entry, n));
}

}  // namespace chipsteps
