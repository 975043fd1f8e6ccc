# Writes INPUT (an SQL script) into OUTPUT as the body of ocable::demo::schemaSql().
file(READ ${INPUT} sql)
file(WRITE ${OUTPUT}
"// Generated from data/schema.sql; do not edit.\n#include <string>\n\nnamespace ocable::demo {\n\n"
"const std::string& schemaSql() {\n    static const std::string sql = R\"SCHEMA(${sql})SCHEMA\";\n    return sql;\n}\n\n"
"} // namespace ocable::demo\n")
