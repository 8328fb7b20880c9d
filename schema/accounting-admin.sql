-- Logins and schemas of the throwaway accounting server. Run as superuser in
-- the accounting database; the tables of each installation come from
-- accounting.sql afterwards.
--
-- Role and schema names are quoted upper case because the program logs in
-- with the user names stored in CFCONNESSIONI verbatim; table and column
-- names are unquoted so unquoted SQL of either case reaches them.
--
-- search_path keeps pg_catalog ahead of orafce's "oracle" schema: built-ins
-- behave as plain PostgreSQL (date stays a date, to_date returns one) and
-- orafce only fills in what PostgreSQL lacks, such as NVL.

CREATE EXTENSION IF NOT EXISTS orafce;

CREATE ROLE "ZARN" LOGIN PASSWORD 'ZARN2015';
CREATE SCHEMA "ZARN" AUTHORIZATION "ZARN";
ALTER ROLE "ZARN" SET search_path = "ZARN", pg_catalog, oracle, public;

-- The directory of installations the program offers at login.
CREATE TABLE "ZARN".cfconnessioni (
    desconnessione varchar(35) NOT NULL,
    username       varchar(25),
    pwd            varchar(25),
    codapplicativo varchar(1)      -- 'S' enabled for this program
);
ALTER TABLE "ZARN".cfconnessioni OWNER TO "ZARN";

INSERT INTO "ZARN".cfconnessioni (desconnessione, username, pwd, codapplicativo) VALUES
    ('COMUNE DI ROCCABRUNA',        'KESTRA481307', 'KESTRA481307', 'S'),
    ('COMUNE DI VALLEFONDA',        'KESTRA481308', 'KESTRA481308', 'S'),
    -- a password unlike the user name catches code that reuses one for the other
    ('UNIONE DEI COMUNI DEL LAGO',  'KESTRA481309', 'Lago-2015',    'S'),
    -- disabled, so it must never be offered; it has no login either
    ('COMUNE DI PIANOSECCO',        'KESTRA481310', 'KESTRA481310', 'N');

-- Every enabled installation can really log in, with its own schema.
DO $$
DECLARE
    inst record;
BEGIN
    FOR inst IN
        SELECT username, pwd FROM "ZARN".cfconnessioni WHERE codapplicativo = 'S'
    LOOP
        EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L', inst.username, inst.pwd);
        EXECUTE format('CREATE SCHEMA %I AUTHORIZATION %I', inst.username, inst.username);
        EXECUTE format('ALTER ROLE %I SET search_path = %I, pg_catalog, oracle, public',
                       inst.username, inst.username);
    END LOOP;
END
$$;
