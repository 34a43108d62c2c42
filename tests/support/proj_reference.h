// PROJ's own conversion from WGS 84 longitude/latitude into the demo database's system, UTM
// zone 37N: the reference that the module's conversions are checked against.
#pragma once

#include <proj.h>

#include <utility>

class TWgs84ToUtm37Reference {
public:
    TWgs84ToUtm37Reference() : m_context(proj_context_create()) {
        PJ* raw = proj_create_crs_to_crs(
            m_context, "EPSG:4326", "+proj=utm +zone=37 +datum=WGS84 +units=m +no_defs", nullptr);
        if (raw) {
            // Longitude first, as the tables and files give it.
            m_conversion = proj_normalize_for_visualization(m_context, raw);
            proj_destroy(raw);
        }
    }
    ~TWgs84ToUtm37Reference() {
        proj_destroy(m_conversion);
        proj_context_destroy(m_context);
    }
    TWgs84ToUtm37Reference(const TWgs84ToUtm37Reference&) = delete;
    TWgs84ToUtm37Reference& operator=(const TWgs84ToUtm37Reference&) = delete;

    [[nodiscard]] bool Valid() const { return m_conversion != nullptr; }
    // Easting and northing in metres.
    [[nodiscard]] std::pair<double, double> operator()(double longitude, double latitude) const {
        const PJ_COORD xy = proj_trans(m_conversion, PJ_FWD, proj_coord(longitude, latitude, 0, 0));
        return {xy.xy.x, xy.xy.y};
    }

private:
    PJ_CONTEXT* m_context;
    PJ* m_conversion = nullptr;
};
