// Answers of the national geocoding service as they were received, kept for
// the queries they answered: a municipality with every property the service
// sends, one asked for with a position near it (hence "distance"), and a
// query that matched nothing. The stand-in gives them back unchanged.
#include "tools/devstack/geocoding_places.h"

const std::vector<CapturedAnswer>& capturedGeocodingAnswers() {
    static const std::vector<CapturedAnswer> answers = {
        // GET /search/?q=Alès&limit=1, captured on 2026-09-18.
        {"Alès",
         R"({"type":"FeatureCollection","features":[{"type":"Feature","geometry":{"type":"Point","coordinates":[4.089242,44.125356]},"properties":{"label":"Alès","score":0.9529118181818181,"id":"30007","banId":"36d3fd12-a908-4f11-a665-bae4b0dfdb87","type":"municipality","name":"Alès","postcode":"30100","citycode":"30007","x":787169.06,"y":6336862.47,"population":46125,"city":"Alès","context":"30, Gard, Occitanie","importance":0.48203,"depcode":"30","municipality":"Alès","_type":"address"}}],"query":"Alès"})"},
        // The feature answered to q=st gervais les bains&type=municipality&lon=6&lat=46
        // (repository lhapaipai/lonlat, docs/geocoding/adresse-gouv.md), in its collection.
        {"st gervais les bains",
         R"({"type":"FeatureCollection","features":[{
    "type": "Feature",
    "properties": {
        "id": "74236",
        "type": "municipality",
        "score": 0.7060233310687971,
        "name": "Saint-Gervais-les-Bains",
        "postcode": "74170",
        "citycode": "74236",
        "city": "Saint-Gervais-les-Bains",
        "context": "74, Haute-Savoie, Auvergne-Rhône-Alpes",
        "label": "Saint-Gervais-les-Bains",
        "x": 988291.09,
        "y": 6537109.01,
        "importance": 0.37668,
        "population": 5606,
        "municipality": "Saint-Gervais-les-Bains",
        "distance": 57252
    },
    "geometry": {
        "type": "Point",
        "coordinates": [
            6.717797,
            45.872554
        ]
    }
}],"query":"st gervais les bains"})"},
        // Captured the same day as the first.
        {"zzzzzzzzzzzzzzzzzzz", R"({"type":"FeatureCollection","features":[],"query":"zzzzzzzzzzzzzzzzzzz"})"},
    };
    return answers;
}
