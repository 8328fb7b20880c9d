-- Accounting tables of one installation, created in the first schema of the
-- current search_path. Names stay unquoted so that the upper-case spellings
-- used in statements written for the original database fold onto them.
-- "date" must resolve to pg_catalog.date here, not orafce's oracle.date, so
-- run this with pg_catalog ahead of oracle in search_path.

-- Budget chapters. (eser, app, cap, art, flcopfplur) is deliberately not
-- unique: real ledgers contain such duplicates and the program must cope.
CREATE TABLE cfcapitolipeg (
    idcapitolo    numeric PRIMARY KEY,
    eser          numeric(4),
    app           varchar(1),   -- 'E' revenue, 'S' expenditure
    cap           numeric,
    art           numeric,
    flcopfplur    varchar(1),   -- 'S' / 'N'
    codcdr        numeric,
    ueb           varchar(7),
    codvoce       varchar(20),
    codtit        numeric,
    codcat        numeric,
    codfnz        numeric,
    codris        numeric,
    codser        numeric,
    codint        numeric,
    codgest       varchar(10),
    proposta      numeric(15,2),
    stanzini      numeric(15,2),
    varaum        numeric(15,2),
    vardim        numeric(15,2),
    assestannplur numeric(15,2),
    assestannprec numeric(15,2)
);

CREATE TABLE cfaccertamenti (
    idacc      numeric PRIMARY KEY,
    eser       numeric(4),
    numacc     numeric,
    dtaacc     date,
    idatto     numeric,
    oggetto    varchar(255),
    codcdr     numeric,
    idcapitolo numeric,
    impini     numeric(15,2)
);

CREATE TABLE cfimpegni (
    idimp      numeric PRIMARY KEY,
    eser       numeric(4),
    numimp     numeric,
    dtaimp     date,
    idatto     numeric,
    oggetto    varchar(255),
    codcdr     numeric,
    idcapitolo numeric,
    impini     numeric(15,2)
);

CREATE TABLE cfdettaccertamenti (
    idacc      numeric,
    numdettacc numeric,
    dtamov     date,
    idatto     numeric,
    oggetto    varchar(255),
    codcdr     numeric,
    idcreddeb  numeric,
    impini     numeric(15,2),
    PRIMARY KEY (idacc, numdettacc)
);

CREATE TABLE cfdettimpegni (
    idimp      numeric,
    numdettimp numeric,
    dtamov     date,
    idatto     numeric,
    oggetto    varchar(255),
    codcdr     numeric,
    idcreddeb  numeric,
    impini     numeric(15,2),
    PRIMARY KEY (idimp, numdettimp)
);

CREATE TABLE cfpegperprogrammi (
    idcapitolo numeric,
    idprogetto numeric,
    stanzini   numeric(15,2),
    varaum     numeric(15,2),
    vardim     numeric(15,2),
    PRIMARY KEY (idcapitolo, idprogetto)
);

CREATE TABLE cfpegpercdc (
    idcapitolo    numeric,
    codcdc        numeric,
    impsta        numeric(15,2),
    impvaraum     numeric(15,2),
    impvardim     numeric(15,2),
    assestannprec numeric(15,2),
    PRIMARY KEY (idcapitolo, codcdc)
);
