#include "core/CommonConsts_tables.h"

namespace brindle {
namespace {

template <std::size_t N>
std::string FindProvinceName(const std::array<TRecProvince, N>& table, std::string_view code) {
    for (const auto& row : table)
        if (row.Code == code) return row.Name;
    return {};
}

}  // namespace

const TRegions& RegionTable() {
    static const TRegions table = {{
        {rgNone, "None", "Unknown"},
        {rgAsia, "Asia", "Asia"},
        {rgEurope, "Europe", "Europe"},
        {rgMiddleEast, "MiddleEast", "Middle East"},
        {rgNorthAmerica, "NorthAmerica", "North America"},
        {rgSouthAmerica, "SouthAmerica", "South America"},
        {rgAfrica, "Africa", "Africa"},
        {rgOceania, "Oceania", "Oceania"},
    }};
    return table;
}

// Rows whose region was plainly wrong (a country filed on another continent) carry the
// right one; gg, im, je and ps carry their own GeoIP code so that they map to their row.
const TCountries& CountryTable() {
    static const TCountries table = {{
        {"ac", "", "Ascension Island", rgAfrica},  // 1
        {"ad", "AD", "Andorra", rgEurope},  // 2
        {"ae", "AE", "United Arab Emirates", rgMiddleEast},  // 3
        {"af", "AF", "Afghanistan", rgAsia},  // 4
        {"ag", "AG", "Antigua and Barbuda", rgNorthAmerica},  // 5
        {"ai", "AI", "Anguilla", rgNorthAmerica},  // 6
        {"al", "AL", "Albania", rgEurope},  // 7
        {"am", "AM", "Armenia", rgAsia},  // 8
        {"an", "AN", "Netherlands Antilles", rgNorthAmerica},  // 9
        {"ao", "AO", "Angola", rgAfrica},  // 10
        {"aq", "AQ", "Antarctica", rgSouthAmerica},  // 11
        {"ar", "AR", "Argentina", rgSouthAmerica},  // 12
        {"arpa", "US", "Old ARPA-net", rgNorthAmerica},  // 13
        {"as", "AS", "American Samoa", rgOceania},  // 14
        {"at", "AT", "Austria", rgEurope},  // 15
        {"au", "AU", "Australia", rgOceania},  // 16
        {"aw", "AW", "Aruba", rgNorthAmerica},  // 17
        {"az", "AZ", "Azerbaijan", rgAsia},  // 18
        {"ba", "BA", "Bosnia and Herzegovina", rgEurope},  // 19
        {"bb", "BB", "Barbados", rgNorthAmerica},  // 20
        {"bd", "BD", "Bangladesh", rgAsia},  // 21
        {"be", "BE", "Belgium", rgEurope},  // 22
        {"bf", "BF", "Burkina Faso", rgAfrica},  // 23
        {"bg", "BG", "Bulgaria", rgEurope},  // 24
        {"bh", "BH", "Bahrain", rgMiddleEast},  // 25
        {"bi", "BI", "Burundi", rgAfrica},  // 26
        {"bj", "BJ", "Benin", rgAfrica},  // 27
        {"bm", "BM", "Bermuda", rgNorthAmerica},  // 28
        {"bn", "BN", "Brunei Darussalam", rgAsia},  // 29
        {"bo", "BO", "Bolivia", rgSouthAmerica},  // 30
        {"br", "BR", "Brazil", rgSouthAmerica},  // 31
        {"bs", "BS", "Bahamas", rgNorthAmerica},  // 32
        {"bt", "BT", "Bhutan", rgAsia},  // 33
        {"bv", "BV", "Bouvet Island", rgAfrica},  // 34
        {"bw", "BW", "Botswana", rgAfrica},  // 35
        {"by", "BY", "Belarus", rgEurope},  // 36
        {"bz", "BZ", "Belize", rgNorthAmerica},  // 37
        {"ca", "CA", "Canada", rgNorthAmerica},  // 38
        {"cc", "CC", "Cocos (Keeling) Islands", rgAsia},  // 39
        {"cd", "CD", "Congo, Democratic Republic of the", rgAfrica},  // 40
        {"cf", "CF", "Central African Republic", rgAfrica},  // 41
        {"cg", "CG", "Congo, Republic of", rgAfrica},  // 42
        {"ch", "CH", "Switzerland", rgEurope},  // 43
        {"ci", "CI", "Cote d'Ivoire", rgAfrica},  // 44
        {"ck", "CK", "Cook Islands", rgOceania},  // 45
        {"cl", "CL", "Chile", rgSouthAmerica},  // 46
        {"cm", "CM", "Cameroon", rgAfrica},  // 47
        {"cn", "CN", "China", rgAsia},  // 48
        {"co", "CO", "Colombia", rgSouthAmerica},  // 49
        {"com", "US", "Commercial", rgNorthAmerica},  // 50
        {"cr", "CR", "Costa Rica", rgNorthAmerica},  // 51
        {"cu", "CU", "Cuba", rgNorthAmerica},  // 52
        {"cv", "CV", "Cap Verde", rgAfrica},  // 53
        {"cx", "CX", "Christmas Island", rgAsia},  // 54
        {"cy", "CY", "Cyprus", rgEurope},  // 55
        {"cz", "CZ", "Czech Republic", rgEurope},  // 56
        {"de", "DE", "Germany", rgEurope},  // 57
        {"dj", "DJ", "Djibouti", rgAfrica},  // 58
        {"dk", "DK", "Denmark", rgEurope},  // 59
        {"dm", "DM", "Dominica", rgNorthAmerica},  // 60
        {"do", "DO", "Dominican Republic", rgNorthAmerica},  // 61
        {"dz", "DZ", "Algeria", rgAfrica},  // 62
        {"ec", "EC", "Ecuador", rgSouthAmerica},  // 63
        {"edu", "US", "Educational", rgNorthAmerica},  // 64
        {"ee", "EE", "Estonia", rgEurope},  // 65
        {"eg", "EG", "Egypt", rgMiddleEast},  // 66
        {"eh", "EH", "Western Sahara", rgAfrica},  // 67
        {"er", "ER", "Eritrea", rgAfrica},  // 68
        {"es", "ES", "Spain", rgEurope},  // 69
        {"et", "ET", "Ethiopia", rgAfrica},  // 70
        {"fi", "FI", "Finland", rgEurope},  // 71
        {"fj", "FJ", "Fiji", rgOceania},  // 72
        {"fk", "FK", "Falkland Islands (Malvina)", rgSouthAmerica},  // 73
        {"fm", "FM", "Micronesia, Federal State of", rgOceania},  // 74
        {"fo", "FO", "Faroe Islands", rgEurope},  // 75
        {"fr", "FR", "France", rgEurope},  // 76
        {"fx", "FX", "France, Metropolitan", rgEurope},  // 77
        {"ga", "GA", "Gabon", rgAfrica},  // 78
        {"gb", "GB", "United Kingdom", rgEurope},  // 79
        {"gd", "GD", "Grenada", rgNorthAmerica},  // 80
        {"ge", "GE", "Georgia", rgAsia},  // 81
        {"gf", "GF", "French Guiana", rgSouthAmerica},  // 82
        {"gg", "GG", "Guernsey", rgEurope},  // 83
        {"gh", "GH", "Ghana", rgAfrica},  // 84
        {"gi", "GI", "Gibraltar", rgEurope},  // 85
        {"gl", "GL", "Greenland", rgNorthAmerica},  // 86
        {"gm", "GM", "Gambia", rgAfrica},  // 87
        {"gn", "GN", "Guinea", rgAfrica},  // 88
        {"gov", "US", "US Government", rgNorthAmerica},  // 89
        {"gp", "GP", "Guadeloupe", rgNorthAmerica},  // 90
        {"gq", "GQ", "Equatorial Guinea", rgAfrica},  // 91
        {"gr", "GR", "Greece", rgEurope},  // 92
        {"gs", "GS", "South Georgia and the South Sandwich Islands", rgSouthAmerica},  // 93
        {"gt", "GT", "Guatemala", rgNorthAmerica},  // 94
        {"gu", "GU", "Guam", rgOceania},  // 95
        {"gw", "GW", "Guinea-Bissau", rgAfrica},  // 96
        {"gy", "GY", "Guyana", rgSouthAmerica},  // 97
        {"hk", "HK", "Hong Kong", rgAsia},  // 98
        {"hm", "HM", "Heard and McDonald Islands", rgOceania},  // 99
        {"hn", "HN", "Honduras", rgNorthAmerica},  // 100
        {"hr", "HR", "Croatia/Hrvatska", rgEurope},  // 101
        {"ht", "HT", "Haiti", rgNorthAmerica},  // 102
        {"hu", "HU", "Hungary", rgEurope},  // 103
        {"id", "ID", "Indonesia", rgAsia},  // 104
        {"ie", "IE", "Ireland", rgEurope},  // 105
        {"il", "IL", "Israel", rgMiddleEast},  // 106
        {"im", "IM", "Isle of Man", rgEurope},  // 107
        {"in", "IN", "India", rgAsia},  // 108
        {"io", "IO", "British Indian Ocean Territory", rgAsia},  // 109
        {"iq", "IQ", "Iraq", rgMiddleEast},  // 110
        {"ir", "IR", "Iran (Islamic Republic of)", rgMiddleEast},  // 111
        {"is", "IS", "Iceland", rgEurope},  // 112
        {"it", "IT", "Italy", rgEurope},  // 113
        {"je", "JE", "Jersey", rgEurope},  // 114
        {"jm", "JM", "Jamaica", rgNorthAmerica},  // 115
        {"jo", "JO", "Jordan", rgMiddleEast},  // 116
        {"jp", "JP", "Japan", rgAsia},  // 117
        {"ke", "KE", "Kenya", rgAfrica},  // 118
        {"kg", "KG", "Kyrgyzstan", rgAsia},  // 119
        {"kh", "KH", "Cambodia", rgAsia},  // 120
        {"ki", "KI", "Kiribati", rgOceania},  // 121
        {"km", "KM", "Comoros", rgAfrica},  // 122
        {"kn", "KN", "Saint Kitts and Nevis", rgNorthAmerica},  // 123
        {"kp", "KP", "North Korea, Democratic People's Republic", rgAsia},  // 124
        {"kr", "KR", "South Korea, Republic of", rgAsia},  // 125
        {"kw", "KW", "Kuwait", rgMiddleEast},  // 126
        {"ky", "KY", "Cayman Islands", rgNorthAmerica},  // 127
        {"kz", "KZ", "Kazakhstan", rgAsia},  // 128
        {"la", "LA", "Lao People's Democratic Republic", rgAsia},  // 129
        {"lb", "LB", "Lebanon", rgMiddleEast},  // 130
        {"lc", "LC", "Saint Lucia", rgNorthAmerica},  // 131
        {"li", "LI", "Liechtenstein", rgEurope},  // 132
        {"lk", "LK", "Sri Lanka", rgAsia},  // 133
        {"lr", "LR", "Liberia", rgAfrica},  // 134
        {"ls", "LS", "Lesotho", rgAfrica},  // 135
        {"lt", "LT", "Lithuania", rgEurope},  // 136
        {"lu", "LU", "Luxembourg", rgEurope},  // 137
        {"lv", "LV", "Latvia", rgEurope},  // 138
        {"ly", "LY", "Libyan Arab Jamahiriya", rgAfrica},  // 139
        {"ma", "MA", "Morocco", rgAfrica},  // 140
        {"mc", "MC", "Monaco", rgEurope},  // 141
        {"md", "MD", "Moldova, Republic of", rgEurope},  // 142
        {"mg", "MG", "Madagascar", rgAfrica},  // 143
        {"mh", "MH", "Marshall Islands", rgOceania},  // 144
        {"mil", "US", "United States", rgNorthAmerica},  // 145
        {"mk", "MK", "Macedonia, Former Yugoslav Republic", rgEurope},  // 146
        {"ml", "ML", "Mali", rgAfrica},  // 147
        {"mm", "MM", "Myanmar", rgAsia},  // 148
        {"mn", "MN", "Mongolia", rgAsia},  // 149
        {"mo", "MO", "Macau", rgAsia},  // 150
        {"mp", "MP", "Northern Mariana Islands", rgOceania},  // 151
        {"mq", "MQ", "Martinique", rgNorthAmerica},  // 152
        {"mr", "MR", "Mauritania", rgAfrica},  // 153
        {"ms", "MS", "Montserrat", rgNorthAmerica},  // 154
        {"mt", "MT", "Malta", rgEurope},  // 155
        {"mu", "MU", "Mauritius", rgAfrica},  // 156
        {"mv", "MV", "Maldives", rgAsia},  // 157
        {"mw", "MW", "Malawi", rgAfrica},  // 158
        {"mx", "MX", "Mexico", rgNorthAmerica},  // 159
        {"my", "MY", "Malaysia", rgAsia},  // 160
        {"mz", "MZ", "Mozambique", rgAfrica},  // 161
        {"na", "NA", "Namibia", rgAfrica},  // 162
        {"nc", "NC", "New Caledonia", rgOceania},  // 163
        {"ne", "NE", "Niger", rgAfrica},  // 164
        {"net", "US", "United States", rgNorthAmerica},  // 165
        {"nf", "NF", "Norfolk Island", rgOceania},  // 166
        {"ng", "NG", "Nigeria", rgAfrica},  // 167
        {"ni", "NI", "Nicaragua", rgNorthAmerica},  // 168
        {"nl", "NL", "Netherlands", rgEurope},  // 169
        {"no", "NO", "Norway", rgEurope},  // 170
        {"np", "NP", "Nepal", rgAsia},  // 171
        {"nr", "NR", "Nauru", rgOceania},  // 172
        {"nu", "NU", "Niue", rgOceania},  // 173
        {"nz", "NZ", "New Zealand", rgOceania},  // 174
        {"om", "OM", "Oman", rgMiddleEast},  // 175
        {"org", "US", "United States", rgNorthAmerica},  // 176
        {"pa", "PA", "Panama", rgNorthAmerica},  // 177
        {"pe", "PE", "Peru", rgSouthAmerica},  // 178
        {"pf", "PF", "French Polynesia", rgOceania},  // 179
        {"pg", "PG", "Papua New Guinea", rgOceania},  // 180
        {"ph", "PH", "Philippines", rgAsia},  // 181
        {"pk", "PK", "Pakistan", rgAsia},  // 182
        {"pl", "PL", "Poland", rgEurope},  // 183
        {"pm", "PM", "St. Pierre and Miquelon", rgNorthAmerica},  // 184
        {"pn", "PN", "Pitcairn Island", rgOceania},  // 185
        {"pr", "PR", "Puerto Rico", rgNorthAmerica},  // 186
        {"ps", "PS", "Palestinian Territories", rgMiddleEast},  // 187
        {"pt", "PT", "Portugal", rgEurope},  // 188
        {"pw", "PW", "Palau", rgOceania},  // 189
        {"py", "PY", "Paraguay", rgSouthAmerica},  // 190
        {"qa", "QA", "Qatar", rgMiddleEast},  // 191
        {"re", "RE", "Reunion Island", rgAfrica},  // 192
        {"ro", "RO", "Romania", rgEurope},  // 193
        {"ru", "RU", "Russian Federation", rgEurope},  // 194
        {"rw", "RW", "Rwanda", rgAfrica},  // 195
        {"sa", "SA", "Saudi Arabia", rgMiddleEast},  // 196
        {"sb", "SB", "Solomon Islands", rgOceania},  // 197
        {"sc", "SC", "Seychelles", rgAfrica},  // 198
        {"sd", "SD", "Sudan", rgAfrica},  // 199
        {"se", "SE", "Sweden", rgEurope},  // 200
        {"sg", "SG", "Singapore", rgAsia},  // 201
        {"sh", "SH", "St. Helena", rgAfrica},  // 202
        {"si", "SI", "Slovenia", rgEurope},  // 203
        {"sj", "SJ", "Svalbard and Jan Mayen Islands", rgEurope},  // 204
        {"sk", "SK", "Slovak Republic", rgEurope},  // 205
        {"sl", "SL", "Sierra Leone", rgAfrica},  // 206
        {"sm", "SM", "San Marino", rgEurope},  // 207
        {"sn", "SN", "Senegal", rgAfrica},  // 208
        {"so", "SO", "Somalia", rgAfrica},  // 209
        {"sr", "SR", "Suriname", rgSouthAmerica},  // 210
        {"st", "ST", "Sao Tome and Principe", rgAfrica},  // 211
        {"su", "RU", "Russian Federation", rgEurope},  // 212
        {"sv", "SV", "El Salvador", rgNorthAmerica},  // 213
        {"sy", "SY", "Syrian Arab Republic", rgMiddleEast},  // 214
        {"sz", "SZ", "Swaziland", rgAfrica},  // 215
        {"tc", "TC", "Turks and Caicos Islands", rgNorthAmerica},  // 216
        {"td", "TD", "Chad", rgAfrica},  // 217
        {"tf", "TF", "French Southern Territories", rgAfrica},  // 218
        {"tg", "TG", "Togo", rgAfrica},  // 219
        {"th", "TH", "Thailand", rgAsia},  // 220
        {"tj", "TJ", "Tajikistan", rgAsia},  // 221
        {"tk", "TK", "Tokelau", rgOceania},  // 222
        {"tm", "TM", "Turkmenistan", rgAsia},  // 223
        {"tn", "TN", "Tunisia", rgAfrica},  // 224
        {"to", "TO", "Tonga", rgOceania},  // 225
        {"tp", "TP", "East Timor", rgAsia},  // 226
        {"tr", "TR", "Turkey", rgEurope},  // 227
        {"tt", "TT", "Trinidad and Tobago", rgNorthAmerica},  // 228
        {"tv", "TV", "Tuvalu", rgOceania},  // 229
        {"tw", "TW", "Taiwan", rgAsia},  // 230
        {"tz", "TZ", "Tanzania", rgAfrica},  // 231
        {"ua", "UA", "Ukraine", rgEurope},  // 232
        {"ug", "UG", "Uganda", rgAfrica},  // 233
        {"uk", "GB", "United Kingdom", rgEurope},  // 234
        {"um", "UM", "US Minor Outlying Islands", rgOceania},  // 235
        {"us", "US", "United States", rgNorthAmerica},  // 236
        {"uy", "UY", "Uruguay", rgSouthAmerica},  // 237
        {"uz", "UZ", "Uzbekistan", rgAsia},  // 238
        {"va", "VA", "Holy See (City Vatican State)", rgEurope},  // 239
        {"vc", "VC", "Saint Vincent and the Grenadines", rgNorthAmerica},  // 240
        {"ve", "VE", "Venezuela", rgSouthAmerica},  // 241
        {"vg", "VG", "Virgin Islands (British)", rgNorthAmerica},  // 242
        {"vi", "VI", "Virgin Islands (USA)", rgNorthAmerica},  // 243
        {"vn", "VN", "Vietnam", rgAsia},  // 244
        {"vu", "VU", "Vanuatu", rgOceania},  // 245
        {"wf", "WF", "Wallis and Futuna Islands", rgOceania},  // 246
        {"ws", "WS", "Western Samoa", rgOceania},  // 247
        {"ye", "YE", "Yemen", rgMiddleEast},  // 248
        {"yt", "YT", "Mayotte", rgAfrica},  // 249
        {"yu", "YU", "Yugoslavia", rgEurope},  // 250
        {"za", "ZA", "South Africa", rgAfrica},  // 251
        {"zm", "ZM", "Zambia", rgAfrica},  // 252
        {"zr", "ZR", "Zaire", rgAfrica},  // 253
        {"zw", "ZW", "Zimbabwe", rgAfrica},  // 254
        {"a1", "A1", "Anonymous Proxy", rgNone},  // 255
        {"a2", "A2", "Satellite Provider", rgNone},  // 256
        {"o1", "O1", "Other", rgNone},  // 257
        {"admin", "US", "Network Admin", rgNorthAmerica},  // 258
        {"aero", "", "Air Travel", rgNone},  // 259
        {"biz", "", "Business Organizations", rgNone},  // 260
        {"coop", "", "Co-operative Organizations", rgNone},  // 261
        {"info", "", "Information's services", rgNone},  // 262
        {"int", "", "International Organizations", rgNone},  // 263
        {"museum", "", "Museums", rgNone},  // 264
        {"name", "", "Individuals' web sites", rgNone},  // 265
        {"pro", "", "Professions", rgNone},  // 266
    }};
    return table;
}

const std::array<TRecProvince, 62>& USStateTable() {
    static const std::array<TRecProvince, 62> table = {{
        {"AA", "Armed Forces Americas"},
        {"AE", "Armed Forces Europe, Middle East, & Canada"},
        {"AK", "Alaska"},
        {"AL", "Alabama"},
        {"AP", "Armed Forces Pacific"},
        {"AR", "Arkansas"},
        {"AS", "American Samoa"},
        {"AZ", "Arizona"},
        {"CA", "California"},
        {"CO", "Colorado"},
        {"CT", "Connecticut"},
        {"DC", "District of Columbia"},
        {"DE", "Delaware"},
        {"FL", "Florida"},
        {"FM", "Federated States of Micronesia"},
        {"GA", "Georgia"},
        {"GU", "Guam"},
        {"HI", "Hawaii"},
        {"IA", "Iowa"},
        {"ID", "Idaho"},
        {"IL", "Illinois"},
        {"IN", "Indiana"},
        {"KS", "Kansas"},
        {"KY", "Kentucky"},
        {"LA", "Louisiana"},
        {"MA", "Massachusetts"},
        {"MD", "Maryland"},
        {"ME", "Maine"},
        {"MH", "Marshall Islands"},
        {"MI", "Michigan"},
        {"MN", "Minnesota"},
        {"MO", "Missouri"},
        {"MP", "Northern Mariana Islands"},
        {"MS", "Mississippi"},
        {"MT", "Montana"},
        {"NC", "North Carolina"},
        {"ND", "North Dakota"},
        {"NE", "Nebraska"},
        {"NH", "New Hampshire"},
        {"NJ", "New Jersey"},
        {"NM", "New Mexico"},
        {"NV", "Nevada"},
        {"NY", "New York"},
        {"OH", "Ohio"},
        {"OK", "Oklahoma"},
        {"OR", "Oregon"},
        {"PA", "Pennsylvania"},
        {"PR", "Puerto Rico"},
        {"PW", "Palau"},
        {"RI", "Rhode Island"},
        {"SC", "South Carolina"},
        {"SD", "South Dakota"},
        {"TN", "Tennessee"},
        {"TX", "Texas"},
        {"UT", "Utah"},
        {"VA", "Virginia"},
        {"VI", "Virgin Islands"},
        {"VT", "Vermont"},
        {"WA", "Washington"},
        {"WV", "West Virginia"},
        {"WI", "Wisconsin"},
        {"WY", "Wyoming"},
    }};
    return table;
}

const std::array<TRecProvince, 13>& CAProvinceTable() {
    static const std::array<TRecProvince, 13> table = {{
        {"AB", "Alberta"},
        {"BC", "British Columbia"},
        {"MB", "Manitoba"},
        {"NB", "New Brunswick"},
        {"NF", "Newfoundland"},
        {"NS", "Nova Scotia"},
        {"NU", "Nunavut"},
        {"ON", "Ontario"},
        {"PE", "Prince Edward Island"},
        {"QC", "Quebec"},
        {"SK", "Saskatchewan"},
        {"NT", "Northwest Territories"},
        {"YT", "Yukon Territory"},
    }};
    return table;
}

const std::array<TRecProvince, 30>& CNProvinceTable() {
    static const std::array<TRecProvince, 30> table = {{
        {"01", "Anhui"},   {"02", "Zhejiang"}, {"03", "Jiangxi"},      {"04", "Jiangsu"},    {"05", "Jilin"},
        {"06", "Qinghai"}, {"07", "Fujian"},   {"08", "Heilongjiang"}, {"09", "Henan"},      {"10", "Hebei"},
        {"11", "Hunan"},   {"12", "Hubei"},    {"13", "Xinjiang"},     {"14", "Xizang"},     {"15", "Gansu"},
        {"16", "Guangxi"}, {"18", "Guizhou"},  {"19", "Liaoning"},     {"20", "Nei Mongol"}, {"21", "Ningxia"},
        {"22", "Beijing"}, {"23", "Shanghai"}, {"24", "Shanxi"},       {"25", "Shandong"},   {"26", "Shaanxi"},
        {"27", "Sichuan"}, {"28", "Tianjin"},  {"29", "Yunnan"},       {"30", "Guangdong"},  {"31", "Hainan"},
    }};
    return table;
}

std::string GetUSStateName(std::string_view code) { return FindProvinceName(USStateTable(), code); }
std::string GetCAProvinceName(std::string_view code) { return FindProvinceName(CAProvinceTable(), code); }
std::string GetCNProvinceName(std::string_view code) { return FindProvinceName(CNProvinceTable(), code); }

int GetCountryIndex(std::string_view tld) {
    const TCountries& table = CountryTable();
    for (const auto& row : table) {
        if (row.TLD != tld) continue;
        if (row.GeoIP.empty()) return 0;
        std::string code = row.GeoIP;
        for (char& c : code)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        for (int i = 0; i < kCountryCount; ++i)
            if (table[i].TLD == code) return i + 1;
        return 0;
    }
    return 0;
}

std::string GetCountryTLD(int index) {
    if (index < 1 || index > kCountryCount) return {};
    return CountryTable()[index - 1].TLD;
}

std::string GetRegionKey(int regionCode) {
    for (const auto& row : RegionTable())
        if (row.Code == regionCode) return row.Key;
    return "None";
}

std::string GetCountryRegionKey(int index) {
    if (index < 1 || index > kCountryCount) return "None";
    return GetRegionKey(CountryTable()[index - 1].Region);
}

}  // namespace brindle
