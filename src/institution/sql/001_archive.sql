-- The institution archive: teams and members, every examination kept as versions of its file's
-- exact bytes, the audit trail, and what each role may reach. Run by the schema's owner (a
-- superuser, or a role that owns the database and may create roles); `server init` applies it
-- in one transaction and records it in gyvkt.schema_version.
--
-- The server decides every access: row-level security and grants on the tables, and functions
-- that run as the owner (SECURITY DEFINER, with a fixed search_path) where a person must reach
-- more than a table grant could give, each checking who is connected itself. A person is the
-- login that authenticated (session_user), in the policies as in the functions, which cannot
-- see the role their caller set: so the two never disagree about who is asking.

-- The group roles are the cluster's, shared by every database that holds the archive.
DO $$
DECLARE
    kind text;
BEGIN
    FOREACH kind IN ARRAY ARRAY['examiner', 'lead', 'researcher', 'admin'] LOOP
        IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'gyvkt_' || kind) THEN
            EXECUTE pg_catalog.format('CREATE ROLE %I NOLOGIN', 'gyvkt_' || kind);
        END IF;
    END LOOP;
END
$$;
-- A lead uploads and reads their own examinations as an examiner does.
GRANT gyvkt_examiner TO gyvkt_lead;

REVOKE ALL ON SCHEMA gyvkt FROM PUBLIC;
GRANT USAGE ON SCHEMA gyvkt TO gyvkt_examiner, gyvkt_lead, gyvkt_researcher, gyvkt_admin;
GRANT SELECT ON gyvkt.schema_version TO gyvkt_examiner, gyvkt_researcher, gyvkt_admin;

CREATE TABLE gyvkt.team (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    name text NOT NULL UNIQUE CHECK (length(name) BETWEEN 1 AND 200),
    created_at timestamptz NOT NULL DEFAULT now()
);

-- Each person is a login role; their row says what they are. A removed person's row stays
-- (inactive), so their examinations keep an owner and the login can be given to someone new
-- without handing over what the old one owned.
CREATE TABLE gyvkt.member (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    login name NOT NULL,
    kind text NOT NULL CHECK (kind IN ('examiner', 'lead', 'researcher', 'admin')),
    team_id bigint REFERENCES gyvkt.team (id),
    active boolean NOT NULL DEFAULT true,
    created_at timestamptz NOT NULL DEFAULT now(),
    removed_at timestamptz,
    CHECK (kind <> 'lead' OR team_id IS NOT NULL)
);
CREATE UNIQUE INDEX member_active_login ON gyvkt.member (login) WHERE active;

-- One examination: a file name of one owner. Its ids are random, so none of them orders like
-- the uploads, the codes or the file names; the pseudonym is what research sees instead.
CREATE TABLE gyvkt.examination (
    id uuid PRIMARY KEY DEFAULT gen_random_uuid(),
    owner_id bigint NOT NULL REFERENCES gyvkt.member (id),
    owner_login name NOT NULL,
    team_id bigint REFERENCES gyvkt.team (id),
    file_name text NOT NULL,
    pseudonym uuid NOT NULL UNIQUE DEFAULT gen_random_uuid(),
    created_at timestamptz NOT NULL DEFAULT now(),
    UNIQUE (owner_id, file_name)
);
CREATE INDEX examination_team ON gyvkt.examination (team_id);

-- Each distinct content of an examination, stored once: the file's bytes as saved, and what the
-- uploading program's reader found in them.
CREATE TABLE gyvkt.content (
    id uuid PRIMARY KEY DEFAULT gen_random_uuid(),
    examination_id uuid NOT NULL REFERENCES gyvkt.examination (id),
    sha256 bytea NOT NULL,
    bytes bytea NOT NULL CHECK (length(bytes) <= 4194304),
    code text NOT NULL,
    name text NOT NULL,
    sex text NOT NULL CHECK (sex IN ('boy', 'girl')),
    age integer NOT NULL,
    exam_date text NOT NULL,
    examiner text NOT NULL,
    scored integer NOT NULL CHECK (scored BETWEEN 0 AND 24),
    gcr_percent integer,
    gcr_class text,
    exam_year integer,
    exam_month integer CHECK (exam_month BETWEEN 1 AND 12),
    scoring text[] NOT NULL CHECK (array_dims(scoring) = '[1:24][1:4]'),
    evaluation jsonb,
    UNIQUE (examination_id, sha256),
    CHECK (sha256 = sha256(bytes))
)
-- An examination's row (a few kilobytes) stays whole in its page: compressing it would cost an
-- upload more than storing it; a large file is still moved out and compressed.
WITH (toast_tuple_target = 8160);
ALTER TABLE gyvkt.content ALTER COLUMN bytes SET COMPRESSION lz4, ALTER COLUMN evaluation SET COMPRESSION lz4;

-- A version: the examination's content as one upload made it current. It is that upload's audit
-- record too (who, when, from which address, what), and says which copy of the archive (a
-- client: one folder on one computer) it came from.
CREATE TABLE gyvkt.version (
    id uuid PRIMARY KEY DEFAULT gen_random_uuid(),
    examination_id uuid NOT NULL REFERENCES gyvkt.examination (id),
    content_id uuid NOT NULL REFERENCES gyvkt.content (id),
    uploaded_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    uploaded_by name NOT NULL,
    client text NOT NULL,
    client_addr inet
);
CREATE INDEX version_examination ON gyvkt.version (examination_id, uploaded_at DESC);

-- The versions a client holds besides those it uploaded: pulled, or found in its folder. An upload
-- supersedes every version its client held, so two copies that both changed an examination
-- leave two current versions, and nothing is lost.
CREATE TABLE gyvkt.receipt (
    login name NOT NULL,
    client text NOT NULL,
    examination_id uuid NOT NULL REFERENCES gyvkt.examination (id),
    version_id uuid NOT NULL REFERENCES gyvkt.version (id),
    received_at timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (login, client, examination_id, version_id)
);

CREATE TABLE gyvkt.succession (
    version_id uuid NOT NULL REFERENCES gyvkt.version (id),
    superseded_id uuid NOT NULL REFERENCES gyvkt.version (id),
    PRIMARY KEY (superseded_id, version_id)
);

-- Who did what, when, from which address: reads of content, research exports, syncs, account
-- changes (an upload's record is its version). Written only by the functions below.
CREATE TABLE gyvkt.audit (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    at timestamptz NOT NULL DEFAULT clock_timestamp(),
    login name NOT NULL DEFAULT session_user,
    client_addr inet DEFAULT inet_client_addr(),
    action text NOT NULL,
    examination_id uuid,
    owner_login name,
    file_name text,
    detail text
);
CREATE INDEX audit_at ON gyvkt.audit (at);

-- Stored history is never rewritten, whoever asks: the owner included, short of dropping the
-- trigger.
CREATE FUNCTION gyvkt.refuse_change() RETURNS trigger
    LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    RAISE EXCEPTION 'A(z) gyvkt.% tábla sorai nem módosíthatók és nem törölhetők.', TG_TABLE_NAME
        USING ERRCODE = 'insufficient_privilege';
END
$$;
DO $$
DECLARE
    t text;
BEGIN
    FOREACH t IN ARRAY ARRAY['examination', 'content', 'version', 'receipt', 'succession', 'audit'] LOOP
        EXECUTE pg_catalog.format('CREATE TRIGGER %I BEFORE UPDATE OR DELETE ON gyvkt.%I '
                                  'FOR EACH ROW EXECUTE FUNCTION gyvkt.refuse_change()', t || '_kept', t);
        EXECUTE pg_catalog.format('CREATE TRIGGER %I BEFORE TRUNCATE ON gyvkt.%I '
                                  'FOR EACH STATEMENT EXECUTE FUNCTION gyvkt.refuse_change()', t || '_not_emptied', t);
    END LOOP;
END
$$;

-- ---- what a person may read ------------------------------------------------------------------

ALTER TABLE gyvkt.team ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.member ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.examination ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.content ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.version ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.succession ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.receipt ENABLE ROW LEVEL SECURITY;
ALTER TABLE gyvkt.audit ENABLE ROW LEVEL SECURITY;

CREATE POLICY own_row ON gyvkt.member FOR SELECT USING (login = session_user AND active);
CREATE POLICY everyone ON gyvkt.member FOR SELECT TO gyvkt_admin USING (true);
CREATE POLICY own_team ON gyvkt.team FOR SELECT
    USING (id IN (SELECT team_id FROM gyvkt.member WHERE login = session_user AND active));
CREATE POLICY every_team ON gyvkt.team FOR SELECT TO gyvkt_admin USING (true);

-- An examiner reads their own examinations; a lead also those of their team.
CREATE POLICY readers ON gyvkt.examination FOR SELECT TO gyvkt_examiner
    USING (owner_id IN (SELECT id FROM gyvkt.member WHERE login = session_user AND active)
           OR team_id IN (SELECT team_id FROM gyvkt.member
                          WHERE login = session_user AND active AND kind = 'lead'));
CREATE POLICY readers ON gyvkt.content FOR SELECT TO gyvkt_examiner
    USING (examination_id IN (SELECT id FROM gyvkt.examination));
CREATE POLICY readers ON gyvkt.version FOR SELECT TO gyvkt_examiner
    USING (examination_id IN (SELECT id FROM gyvkt.examination));
CREATE POLICY readers ON gyvkt.succession FOR SELECT TO gyvkt_examiner
    USING (version_id IN (SELECT id FROM gyvkt.version));

GRANT SELECT (id, name) ON gyvkt.team TO gyvkt_examiner, gyvkt_admin;
GRANT SELECT (id, login, kind, team_id, active, created_at, removed_at) ON gyvkt.member
    TO gyvkt_examiner, gyvkt_admin;
-- No pseudonym: it would tie research rows back to the examiner's children.
GRANT SELECT (id, owner_login, team_id, file_name, created_at) ON gyvkt.examination TO gyvkt_examiner;
-- No bytes: content is read through gyvkt.fetch, which writes the audit row.
GRANT SELECT (id, examination_id, sha256, code, name, sex, age, exam_date, examiner, scored, gcr_percent,
              gcr_class) ON gyvkt.content TO gyvkt_examiner;
GRANT SELECT ON gyvkt.version, gyvkt.succession TO gyvkt_examiner;
-- The whole trail for the administrator: the audit rows, and every upload as its version records it.
CREATE VIEW gyvkt.audit_trail AS
SELECT a.at, a.login, a.client_addr, a.action, a.owner_login, a.file_name, a.detail
FROM gyvkt.audit a
UNION ALL
SELECT v.uploaded_at, v.uploaded_by, v.client_addr, 'upload', e.owner_login, e.file_name, encode(c.sha256, 'hex')
FROM gyvkt.version v
JOIN gyvkt.examination e ON e.id = v.examination_id
JOIN gyvkt.content c ON c.id = v.content_id;
GRANT SELECT ON gyvkt.audit_trail TO gyvkt_admin;

-- Research: the latest version of every examination under its pseudonym, with nothing that
-- names the child, the examiner, the file or the day. The view reads the tables as its owner;
-- a researcher has no grant on any table.
CREATE VIEW gyvkt.research WITH (security_barrier) AS
SELECT e.pseudonym, c.sex, c.age, c.exam_year, c.exam_month, c.scoring, c.evaluation
FROM gyvkt.examination e
CROSS JOIN LATERAL (SELECT v.content_id FROM gyvkt.version v WHERE v.examination_id = e.id
                    ORDER BY v.uploaded_at DESC, v.id DESC LIMIT 1) latest
JOIN gyvkt.content c ON c.id = latest.content_id;
GRANT SELECT ON gyvkt.research TO gyvkt_researcher;

-- ---- functions -------------------------------------------------------------------------------

-- Helpers of the functions below, which run as the owner with a fixed search_path already; in
-- PL/pgSQL, so that each session plans their statements once. Nobody else may call them.

-- The connected person's active member row, if any.
CREATE FUNCTION gyvkt.me() RETURNS gyvkt.member
    LANGUAGE plpgsql STABLE AS $$
DECLARE
    found gyvkt.member;
BEGIN
    SELECT * INTO found FROM gyvkt.member m WHERE m.login = session_user AND m.active;
    RETURN found;
END
$$;

CREATE FUNCTION gyvkt.is_admin() RETURNS boolean
    LANGUAGE plpgsql STABLE AS $$
BEGIN
    RETURN pg_has_role(session_user, 'gyvkt_admin', 'USAGE')
        OR session_user = (SELECT nspowner::regrole::name FROM pg_namespace WHERE nspname = 'gyvkt');
END
$$;

CREATE FUNCTION gyvkt.note(p_action text, p_examination uuid, p_detail text) RETURNS void
    LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO gyvkt.audit (action, examination_id, owner_login, file_name, detail)
    SELECT p_action, p_examination, e.owner_login, e.file_name, p_detail
    FROM (SELECT 1) one LEFT JOIN gyvkt.examination e ON e.id = p_examination;
END
$$;

CREATE FUNCTION gyvkt.current_versions(p_examination uuid) RETURNS integer
    LANGUAGE plpgsql STABLE AS $$
BEGIN
    RETURN (SELECT count(*)::integer FROM gyvkt.version v
            WHERE v.examination_id = p_examination
              AND NOT EXISTS (SELECT FROM gyvkt.succession s WHERE s.superseded_id = v.id));
END
$$;

-- Whether the connected person's client holds a version: uploaded it, pulled it or has it.
CREATE FUNCTION gyvkt.held(v gyvkt.version, p_client text) RETURNS boolean
    LANGUAGE sql STABLE AS $$
    SELECT (v.uploaded_by = session_user AND v.client = p_client)
        OR EXISTS (SELECT FROM gyvkt.receipt r WHERE r.login = session_user AND r.client = p_client
                   AND r.examination_id = v.examination_id AND r.version_id = v.id)
$$;

-- An examination file's name: no folder, no control character, not hidden, ".kvx" at its end.
CREATE FUNCTION gyvkt.valid_file_name(p_name text) RETURNS boolean
    LANGUAGE sql IMMUTABLE AS $$
    SELECT p_name ~* '^[^/\\[:cntrl:].][^/\\[:cntrl:]]{0,250}\.kvx$'
$$;

CREATE FUNCTION gyvkt.check_client(p_client text) RETURNS void
    LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
    IF p_client IS NULL OR p_client !~ '^[0-9a-f]{64}$' THEN
        RAISE EXCEPTION 'Érvénytelen ügyfélazonosító.' USING ERRCODE = 'invalid_parameter_value';
    END IF;
END
$$;

CREATE FUNCTION gyvkt.require_admin() RETURNS void
    LANGUAGE plpgsql STABLE AS $$
BEGIN
    IF NOT gyvkt.is_admin() THEN
        RAISE EXCEPTION 'Ehhez az archívum adminisztrátorának szerepe kell.' USING ERRCODE = 'insufficient_privilege';
    END IF;
END
$$;

CREATE FUNCTION gyvkt.whoami() RETURNS TABLE (login name, kind text, team text)
    LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT m.login, m.kind, t.name FROM gyvkt.member m LEFT JOIN gyvkt.team t ON t.id = m.team_id
    WHERE m.login = session_user AND m.active
    UNION ALL
    SELECT session_user, 'owner', NULL
    WHERE NOT EXISTS (SELECT FROM gyvkt.member m WHERE m.login = session_user AND m.active)
      AND session_user = (SELECT nspowner::regrole::name FROM pg_namespace WHERE nspname = 'gyvkt')
$$;

-- Stores one examination file of the connected examiner. The same bytes as a current version
-- store nothing; bytes the examination had before become current again without being stored a
-- second time. Returns what happened and how many current versions the examination has.
CREATE FUNCTION gyvkt.upload(p_file_name text, p_bytes bytea, p_client text, p_code text, p_name text,
                             p_sex text, p_age integer, p_exam_date text, p_examiner text, p_scored integer,
                             p_gcr_percent integer, p_gcr_class text, p_exam_year integer, p_exam_month integer,
                             p_scoring text[], p_evaluation jsonb)
    RETURNS TABLE (outcome text, version uuid, current_count integer)
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    me gyvkt.member := gyvkt.me();
    digest bytea := sha256(p_bytes);
    exam uuid;
    held uuid;
    stored uuid;
    made uuid;
BEGIN
    IF me.id IS NULL OR me.kind NOT IN ('examiner', 'lead') THEN
        RAISE EXCEPTION 'Vizsgálatot csak vizsgálatvezető tölthet fel.' USING ERRCODE = 'insufficient_privilege';
    END IF;
    PERFORM gyvkt.check_client(p_client);
    IF NOT gyvkt.valid_file_name(p_file_name) THEN
        RAISE EXCEPTION 'Érvénytelen fájlnév: %', p_file_name USING ERRCODE = 'invalid_parameter_value';
    END IF;
    INSERT INTO gyvkt.examination (owner_id, owner_login, team_id, file_name)
    VALUES (me.id, me.login, me.team_id, p_file_name)
    ON CONFLICT (owner_id, file_name) DO NOTHING
    RETURNING id INTO exam;
    IF exam IS NOT NULL THEN
        INSERT INTO gyvkt.content (examination_id, sha256, bytes, code, name, sex, age, exam_date, examiner,
                                   scored, gcr_percent, gcr_class, exam_year, exam_month, scoring, evaluation)
        VALUES (exam, digest, p_bytes, p_code, p_name, p_sex, p_age, p_exam_date, p_examiner, p_scored,
                p_gcr_percent, p_gcr_class, p_exam_year, p_exam_month, p_scoring, p_evaluation)
        RETURNING id INTO stored;
        INSERT INTO gyvkt.version (examination_id, content_id, uploaded_by, client, client_addr)
        VALUES (exam, stored, session_user, p_client, inet_client_addr()) RETURNING id INTO made;
        RETURN QUERY SELECT 'uploaded'::text, made, 1;
        RETURN;
    END IF;
    -- One upload of an examination at a time: the decision below sees every earlier one.
    SELECT e.id INTO exam FROM gyvkt.examination e
    WHERE e.owner_id = me.id AND e.file_name = p_file_name FOR UPDATE;

    SELECT v.id INTO held FROM gyvkt.version v JOIN gyvkt.content c ON c.id = v.content_id
    WHERE v.examination_id = exam AND c.sha256 = digest
      AND NOT EXISTS (SELECT FROM gyvkt.succession s WHERE s.superseded_id = v.id)
    ORDER BY v.uploaded_at DESC LIMIT 1;
    IF held IS NOT NULL THEN
        INSERT INTO gyvkt.receipt (login, client, examination_id, version_id)
        VALUES (session_user, p_client, exam, held) ON CONFLICT DO NOTHING;
        RETURN QUERY SELECT 'unchanged'::text, held, gyvkt.current_versions(exam);
        RETURN;
    END IF;

    SELECT c.id INTO stored FROM gyvkt.content c WHERE c.examination_id = exam AND c.sha256 = digest;
    IF stored IS NULL THEN
        INSERT INTO gyvkt.content (examination_id, sha256, bytes, code, name, sex, age, exam_date, examiner,
                                   scored, gcr_percent, gcr_class, exam_year, exam_month, scoring, evaluation)
        VALUES (exam, digest, p_bytes, p_code, p_name, p_sex, p_age, p_exam_date, p_examiner, p_scored,
                p_gcr_percent, p_gcr_class, p_exam_year, p_exam_month, p_scoring, p_evaluation)
        RETURNING id INTO stored;
    END IF;
    INSERT INTO gyvkt.version (examination_id, content_id, uploaded_by, client, client_addr)
    VALUES (exam, stored, session_user, p_client, inet_client_addr()) RETURNING id INTO made;
    INSERT INTO gyvkt.succession (version_id, superseded_id)
    SELECT made, v.id FROM gyvkt.version v
    WHERE v.examination_id = exam AND v.id <> made AND gyvkt.held(v, p_client);
    RETURN QUERY SELECT 'uploaded'::text, made, gyvkt.current_versions(exam);
END
$$;

-- One file of a block of new examinations, as a sync sends it: gyvkt.upload's values.
CREATE TYPE gyvkt.upload_item AS (
    file_name text, bytes bytea, code text, name text, sex text, age integer, exam_date text, examiner text,
    scored integer, gcr_percent integer, gcr_class text, exam_year integer, exam_month integer, scoring text[],
    evaluation jsonb);

-- Stores the files of examinations the connected examiner has none of yet, all in one statement:
-- the first upload of a whole archive is a copy, not thousands of round trips. Returns the files
-- stored; one the server has already (another upload came first), or whose name it refuses, is
-- left for gyvkt.upload to decide on its own.
CREATE FUNCTION gyvkt.upload_new(p_client text, p_items gyvkt.upload_item[])
    RETURNS TABLE (stored_name text, stored_version uuid)
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    me gyvkt.member := gyvkt.me();
BEGIN
    IF me.id IS NULL OR me.kind NOT IN ('examiner', 'lead') THEN
        RAISE EXCEPTION 'Vizsgálatot csak vizsgálatvezető tölthet fel.' USING ERRCODE = 'insufficient_privilege';
    END IF;
    PERFORM gyvkt.check_client(p_client);
    RETURN QUERY
    WITH items AS (SELECT * FROM unnest(p_items) i WHERE gyvkt.valid_file_name(i.file_name)),
    made AS (INSERT INTO gyvkt.examination (owner_id, owner_login, team_id, file_name)
             SELECT me.id, me.login, me.team_id, i.file_name FROM items i
             ON CONFLICT (owner_id, file_name) DO NOTHING
             RETURNING id, file_name),
    stored AS (INSERT INTO gyvkt.content (examination_id, sha256, bytes, code, name, sex, age, exam_date, examiner,
                                          scored, gcr_percent, gcr_class, exam_year, exam_month, scoring, evaluation)
               SELECT m.id, sha256(i.bytes), i.bytes, i.code, i.name, i.sex, i.age, i.exam_date, i.examiner,
                      i.scored, i.gcr_percent, i.gcr_class, i.exam_year, i.exam_month, i.scoring, i.evaluation
               FROM made m JOIN items i ON i.file_name = m.file_name
               RETURNING id, examination_id),
    versions AS (INSERT INTO gyvkt.version (examination_id, content_id, uploaded_by, client, client_addr)
                 SELECT c.examination_id, c.id, session_user, p_client, inet_client_addr() FROM stored c
                 RETURNING id, examination_id)
    SELECT m.file_name, v.id FROM versions v JOIN made m ON m.id = v.examination_id;
END
$$;

-- The current versions of the connected examiner's own examinations, and whether this client
-- is known to hold each: what a sync compares the folder with before it sends any bytes.
CREATE FUNCTION gyvkt.holdings(p_client text)
    RETURNS TABLE (file_name text, digest bytea, version uuid, held boolean)
    LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT e.file_name, c.sha256, v.id, gyvkt.held(v, p_client)
    FROM gyvkt.examination e
    JOIN gyvkt.version v ON v.examination_id = e.id
    JOIN gyvkt.content c ON c.id = v.content_id
    WHERE e.owner_id = (gyvkt.me()).id
      AND NOT EXISTS (SELECT FROM gyvkt.succession s WHERE s.superseded_id = v.id)
$$;

-- Records that this client holds these versions of the connected examiner's examinations.
CREATE FUNCTION gyvkt.confirm(p_client text, p_versions uuid[]) RETURNS integer
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    added integer;
BEGIN
    PERFORM gyvkt.check_client(p_client);
    INSERT INTO gyvkt.receipt (login, client, examination_id, version_id)
    SELECT session_user, p_client, v.examination_id, v.id
    FROM gyvkt.version v JOIN gyvkt.examination e ON e.id = v.examination_id
    WHERE v.id = ANY (p_versions) AND e.owner_id = (gyvkt.me()).id
    ON CONFLICT DO NOTHING;
    GET DIAGNOSTICS added = ROW_COUNT;
    RETURN added;
END
$$;

-- The bytes of a version the connected person may read (their own; a lead's team's), with the
-- read written to the audit. Another's version and one that does not exist are refused alike.
CREATE FUNCTION gyvkt.fetch(p_version uuid, p_client text) RETURNS bytea
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    me gyvkt.member := gyvkt.me();
    exam uuid;
    result bytea;
BEGIN
    PERFORM gyvkt.check_client(p_client);
    SELECT e.id, c.bytes INTO exam, result
    FROM gyvkt.version v JOIN gyvkt.examination e ON e.id = v.examination_id
    JOIN gyvkt.content c ON c.id = v.content_id
    WHERE v.id = p_version AND me.kind IN ('examiner', 'lead')
      AND (e.owner_id = me.id OR (me.kind = 'lead' AND e.team_id = me.team_id));
    IF exam IS NULL THEN
        RAISE EXCEPTION 'Nincs ilyen vizsgálat, vagy nincs joga olvasni.' USING ERRCODE = 'insufficient_privilege';
    END IF;
    INSERT INTO gyvkt.receipt (login, client, examination_id, version_id)
    VALUES (session_user, p_client, exam, p_version) ON CONFLICT DO NOTHING;
    PERFORM gyvkt.note('read', exam, NULL);
    RETURN result;
END
$$;

-- A sync ends: what it did. Its commit is the run's durable point (see ArchiveSync).
CREATE FUNCTION gyvkt.note_sync(p_uploaded integer, p_unchanged integer, p_refused integer) RETURNS void
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF (gyvkt.me()).kind NOT IN ('examiner', 'lead') THEN
        RAISE EXCEPTION 'Vizsgálatot csak vizsgálatvezető tölthet fel.' USING ERRCODE = 'insufficient_privilege';
    END IF;
    PERFORM gyvkt.note('sync', NULL, format('feltöltve: %s, változatlan: %s, elutasítva: %s',
                                            p_uploaded, p_unchanged, p_refused));
END
$$;

-- A research export begins: who ran it, and what it makes.
CREATE FUNCTION gyvkt.note_export(p_what text) RETURNS void
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF NOT pg_has_role(session_user, 'gyvkt_researcher', 'USAGE') THEN
        RAISE EXCEPTION 'Kutatási kivonatot csak kutató készíthet.' USING ERRCODE = 'insufficient_privilege';
    END IF;
    PERFORM gyvkt.note('export', NULL, left(p_what, 200));
END
$$;

-- ---- accounts --------------------------------------------------------------------------------


CREATE FUNCTION gyvkt.add_team(p_name text) RETURNS void
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM gyvkt.require_admin();
    IF EXISTS (SELECT FROM gyvkt.team t WHERE t.name = p_name) THEN
        RAISE EXCEPTION 'Már van ilyen nevű csoport: %', p_name USING ERRCODE = 'unique_violation';
    END IF;
    INSERT INTO gyvkt.team (name) VALUES (p_name);
    PERFORM gyvkt.note('add-team', NULL, p_name);
END
$$;

-- A new person: a login role in the group of their kind, with a password given as its SCRAM
-- verifier (the client computes it; the password itself never reaches the server or its log).
-- The role may do nothing beyond its group: no superuser, no role or database creation.
CREATE FUNCTION gyvkt.add_user(p_login text, p_kind text, p_team text, p_verifier text) RETURNS void
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    team bigint;
BEGIN
    PERFORM gyvkt.require_admin();
    IF p_login IS NULL OR p_login !~ '^[a-z_][a-z0-9_.@-]{0,62}$' THEN
        RAISE EXCEPTION 'Érvénytelen felhasználónév: % (kisbetű, számjegy, _ . @ -, legfeljebb 63 karakter)',
            p_login USING ERRCODE = 'invalid_parameter_value';
    END IF;
    IF p_kind IS NULL OR p_kind NOT IN ('examiner', 'lead', 'researcher', 'admin') THEN
        RAISE EXCEPTION 'Ismeretlen szerep: %', p_kind USING ERRCODE = 'invalid_parameter_value';
    END IF;
    IF p_verifier IS NULL OR p_verifier !~ '^SCRAM-SHA-256\$' THEN
        RAISE EXCEPTION 'A jelszó csak SCRAM-SHA-256 ellenőrzőként adható át.' USING ERRCODE = 'invalid_parameter_value';
    END IF;
    IF EXISTS (SELECT FROM pg_roles WHERE rolname = p_login) THEN
        RAISE EXCEPTION 'Már van ilyen nevű felhasználó a kiszolgálón: %', p_login USING ERRCODE = 'duplicate_object';
    END IF;
    IF p_team IS NOT NULL THEN
        SELECT t.id INTO team FROM gyvkt.team t WHERE t.name = p_team;
        IF team IS NULL THEN
            RAISE EXCEPTION 'Nincs ilyen csoport: %', p_team USING ERRCODE = 'undefined_object';
        END IF;
    ELSIF p_kind = 'lead' THEN
        RAISE EXCEPTION 'Csoportvezetőnek csoport is kell (--team).' USING ERRCODE = 'invalid_parameter_value';
    END IF;
    EXECUTE format('CREATE ROLE %I LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOREPLICATION NOBYPASSRLS '
                   'INHERIT PASSWORD %L', p_login, p_verifier);
    EXECUTE format('GRANT %I TO %I', 'gyvkt_' || p_kind, p_login);
    INSERT INTO gyvkt.member (login, kind, team_id) VALUES (p_login, p_kind, team);
    PERFORM gyvkt.note('add-user', NULL, p_login || ' (' || p_kind || coalesce(', ' || p_team, '') || ')');
END
$$;

-- Ends a person's access. Their examinations stay, readable by their team's lead.
CREATE FUNCTION gyvkt.remove_user(p_login text) RETURNS void
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM gyvkt.require_admin();
    IF p_login = session_user THEN
        RAISE EXCEPTION 'Saját magát nem távolíthatja el.' USING ERRCODE = 'invalid_parameter_value';
    END IF;
    UPDATE gyvkt.member SET active = false, removed_at = now() WHERE login = p_login AND active;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Nincs ilyen felhasználó az archívumban: %', p_login USING ERRCODE = 'undefined_object';
    END IF;
    IF EXISTS (SELECT FROM pg_roles WHERE rolname = p_login) THEN
        EXECUTE format('DROP ROLE %I', p_login);
    END IF;
    PERFORM gyvkt.note('remove-user', NULL, p_login);
END
$$;

-- A function is callable by whom it is granted to, not by everyone as PostgreSQL would have it.
REVOKE EXECUTE ON ALL FUNCTIONS IN SCHEMA gyvkt FROM PUBLIC;
GRANT EXECUTE ON FUNCTION gyvkt.whoami() TO gyvkt_examiner, gyvkt_researcher, gyvkt_admin;
GRANT EXECUTE ON FUNCTION gyvkt.upload(text, bytea, text, text, text, text, integer, text, text, integer, integer,
                                       text, integer, integer, text[], jsonb),
                          gyvkt.holdings(text), gyvkt.confirm(text, uuid[]), gyvkt.fetch(uuid, text),
                          gyvkt.note_sync(integer, integer, integer), gyvkt.upload_new(text, gyvkt.upload_item[])
    TO gyvkt_examiner;
GRANT EXECUTE ON FUNCTION gyvkt.note_export(text) TO gyvkt_researcher;
GRANT EXECUTE ON FUNCTION gyvkt.add_team(text), gyvkt.add_user(text, text, text, text), gyvkt.remove_user(text)
    TO gyvkt_admin;
